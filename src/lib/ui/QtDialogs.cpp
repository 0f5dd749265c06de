#include "lib/ui/QtDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "lib/ui/QtText.h"

namespace {
QString titleOrApp(const std::string& title) {
    return title.empty() ? QApplication::applicationDisplayName() : toQ(title);
}
}  // namespace

void QtDialogs::message(const std::string& text, const std::string& title, Icon icon) {
    QMessageBox box(icon == Icon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    titleOrApp(title), toQ(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::question(const std::string& text, const std::string& title) {
    return QMessageBox::question(QApplication::activeWindow(), titleOrApp(title), toQ(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString QtDialogs::ask(const std::string& prompt, const std::string& title,
                       const std::string& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(QApplication::activeWindow(), titleOrApp(title), toQ(prompt),
                              QLineEdit::Normal, toQ(defaultText), &ok);
    return ok ? answer : QString();
}

std::string QtDialogs::input(const std::string& prompt, const std::string& title,
                             const std::string& defaultText) {
    return fromQ(ask(prompt, title, defaultText));
}

std::string QtDialogs::inputUtf8(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
    return ask(prompt, title, defaultText).toStdString();
}
