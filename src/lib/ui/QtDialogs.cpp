#include "lib/ui/QtDialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "lib/FileChoice.h"
#include "lib/ui/QtText.h"
#include "lib/ui/WindowPlacement.h"
#include "lib/ui/frmFailDir.h"

namespace {
QString titleOrApp(const std::string& title) {
    return title.empty() ? QApplication::applicationDisplayName() : toQ(title);
}

// The answers in Russian also where Qt's own translation is not installed.
void nameButtons(QMessageBox& box) {
    const std::pair<QMessageBox::StandardButton, QString> names[] = {
        {QMessageBox::Yes, QStringLiteral("Да")},
        {QMessageBox::No, QStringLiteral("Нет")},
        {QMessageBox::Cancel, QStringLiteral("Отмена")},
    };
    for (const auto& [which, name] : names)
        if (QAbstractButton* button = box.button(which)) button->setText(name);
}

// The window manager cuts a caption that is wider than its box; the title bar
// draws it bold, beside an icon and three buttons.
int captionRoom(const QString& caption) {
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) * 5 / 4 + 160;
}
}  // namespace

void QtDialogs::message(const std::string& text, const std::string& title, Icon icon) {
    showMessage(toQ(text), title, icon);
}

void QtDialogs::messageUtf8(const std::string& text, const std::string& title, Icon icon) {
    showMessage(QString::fromStdString(text), title, icon);
}

void QtDialogs::showMessage(const QString& text, const std::string& title, Icon icon) {
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    titleOrApp(title), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::messageOrSkip(const std::string& text, const std::string& title,
                              const std::string& skipText) {
    return showMessageOrSkip(toQ(text), title, skipText);
}

bool QtDialogs::messageOrSkipUtf8(const std::string& text, const std::string& title,
                                  const std::string& skipText) {
    return showMessageOrSkip(QString::fromStdString(text), title, skipText);
}

bool QtDialogs::showMessageOrSkip(const QString& text, const std::string& title,
                                  const std::string& skipText) {
    QMessageBox box(QMessageBox::NoIcon, titleOrApp(title), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    QPushButton* skip = box.addButton(toQ(skipText), QMessageBox::RejectRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);  // Esc closes this box only, as for a plain message
    box.exec();
    return box.clickedButton() == skip;
}

bool QtDialogs::question(const std::string& text, const std::string& title, Answer preferred) {
    QMessageBox box(QMessageBox::Question, titleOrApp(title), toQ(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    nameButtons(box);
    box.setDefaultButton(preferred == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::questionOrCancel(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, titleOrApp(title), toQ(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    nameButtons(box);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

QString QtDialogs::ask(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) {
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(titleOrApp(title));
    box.setLabelText(toQ(prompt));
    box.setTextValue(toQ(defaultText));
    // The box sizes itself to its layout, so the room goes to the text field.
    if (auto* field = box.findChild<QLineEdit*>())
        field->setMinimumWidth(captionRoom(box.windowTitle()));
    if (box.exec() != QDialog::Accepted) return QString();
    return box.textValue();
}

std::string QtDialogs::input(const std::string& prompt, const std::string& title,
                             const std::string& defaultText) {
    return fromQ(ask(prompt, title, defaultText));
}

std::string QtDialogs::inputUtf8(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    return ask(prompt, title, defaultText).toStdString();
}

void QtDialogs::chooseFile(FileChoice& choice) {
    frmFailDir chooser(choice, QApplication::activeWindow());
    PlaceOnScreen(&chooser);
    chooser.exec();
}
