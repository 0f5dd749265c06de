// Editing the project in the main window: the text and the four parameters,
// laid out again after a pause in typing, saved in the file's own encoding.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "gcode/GCodeProfile.h"
#include "lib/Dialogs.h"
#include "lib/DiskFiles.h"
#include "lib/FileChoice.h"
#include "lib/MachiningSettings.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/Win1251.h"
#include "lib/ui/ElidedLabel.h"
#include "lib/ui/QtText.h"
#include "main/Layout.h"
#include "main/MissingLetters.h"
#include "main/ParameterCheck.h"
#include "main/ProjectFile.h"
#include "main/Session.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

// Long enough to lay out once a word is typed, short enough to feel immediate.
constexpr int kTypingPauseMs = 150;

// Tab moves on to the next control, as everywhere in the window; a tab
// character, which a text line rarely wants, comes with Ctrl+Tab.
class TabKeys final : public QObject {
  public:
    explicit TabKeys(QPlainTextEdit* edit) : QObject(edit), edit_(edit) {
        edit->setTabChangesFocus(true);
        edit->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == edit_ && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
                edit_->insertPlainText(QStringLiteral("\t"));
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QPlainTextEdit* edit_;
};

ProjectSource templateSource() {
    ProjectSource source;
    for (std::size_t i = 0; i < 4; ++i)
        source.lines.push_back(win1251::toUtf8(ProjectTemplateLines()[i]));
    return source;
}

}  // namespace

QWidget* frmGCode::buildEditControls() {
    source_ = templateSource();
    layoutTimer_ = new QTimer(this);
    layoutTimer_->setSingleShot(true);
    layoutTimer_->setInterval(kTypingPauseMs);
    connect(layoutTimer_, &QTimer::timeout, this, [this] { relayoutNow(); });

    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const char* names[4] = {"txtLineSpacing", "txtFieldWidth", "txtLetterHeight", "txtWidthFactor"};
    const QString captions[4] = {QStringLiteral("Интервал, мм"), QStringLiteral("Поле, мм"),
                                 QStringLiteral("Высота, мм"), QStringLiteral("Ширина")};
    for (int i = 0; i < 4; ++i) {
        auto* edit = new QLineEdit(box);
        edit->setObjectName(names[i]);
        edit->setToolTip(toQ(ProjectTemplateLines()[static_cast<std::size_t>(i)].substr(
            ProjectTemplateLines()[static_cast<std::size_t>(i)].find("//") + 2)));
        txtParameters[static_cast<std::size_t>(i)] = edit;
        grid->addWidget(new QLabel(captions[i], box), 0, i);
        grid->addWidget(edit, 1, i);
        connect(edit, &QLineEdit::textEdited, this, [this] { sourceEdited(); });
    }
    grid->addWidget(buildMirrorBox(box), 1, 4);
    lblParameterFault = new QLabel(box);
    lblParameterFault->setObjectName("lblParameterFault");
    lblParameterFault->setWordWrap(true);
    lblParameterFault->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    grid->addWidget(lblParameterFault, 2, 0, 1, 5);
    new TabKeys(txtPaint);
    connect(txtPaint, &QPlainTextEdit::textChanged, this, [this] { sourceEdited(); });
    connect(cboShrift, &QComboBox::currentIndexChanged, this, [this] {
        if (DrawMode == DrawingMode::Project) layoutTimer_->start();
    });

    // The figures keep room for those of a large plate; the notes beside them
    // are cut short when the bar is full, never drawn over them.
    lblEstimate = new ElidedLabel(this);
    lblEstimate->setObjectName("lblEstimate");
    lblEstimate->setMinimumWidth(lblEstimate->fontMetrics().horizontalAdvance(QStringLiteral(
        "Письмо 12345,6 мм · Холостой ход 1234,5 мм · Подъёмов 999 · Время 1:23:45")));
    statusBar()->addPermanentWidget(lblEstimate);
    lblMissing = new ElidedLabel(this);
    lblMissing->setObjectName("lblMissing");
    statusBar()->addPermanentWidget(lblMissing);
    lblPlacement = new ElidedLabel(this);
    lblPlacement->setObjectName("lblPlacement");
    statusBar()->addPermanentWidget(lblPlacement);
    showSource();
    return box;
}

void frmGCode::showSource() {
    showingSource_ = true;
    for (std::size_t i = 0; i < 4; ++i)
        txtParameters[i]->setText(QString::fromStdString(ParameterValue(source_, i)));
    txtPaint->setPlainText(QString::fromStdString(SourceText(source_)));
    showingSource_ = false;
    markParameterFaults();
}

bool frmGCode::markParameterFaults() {
    QStringList faults;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string fault =
            ParameterFault(i, ParameterValue(source_, i), numtext::decimalSeparator());
        QLineEdit* field = txtParameters[i];
        if (fault.empty()) {
            field->setPalette(QPalette());
        } else {
            QPalette marked = field->palette();
            marked.setColor(QPalette::Base, QColor(255, 215, 215));
            field->setPalette(marked);
            faults << toQ(fault);
        }
    }
    lblParameterFault->setText(faults.join(QLatin1Char('\n')));
    return faults.isEmpty();
}

std::string frmGCode::parameterFaults() const {
    std::string faults;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string fault =
            ParameterFault(i, ParameterValue(source_, i), numtext::decimalSeparator());
        if (!fault.empty()) faults += "\r\n" + fault;
    }
    return faults;
}

bool frmGCode::refuseForParameterFaults(const char* refused) {
    const std::string faults = parameterFaults();
    if (faults.empty()) return false;
    dialogs().message(cp(refused) + faults, windowCaption());
    return true;
}

void frmGCode::sourceEdited() {
    if (showingSource_) return;
    // The file keeps the point every reader of it takes, whatever mark was typed.
    for (std::size_t i = 0; i < 4; ++i)
        SetParameterValue(source_, i,
                          ParameterInFileForm(txtParameters[i]->text().toStdString(),
                                              numtext::decimalSeparator()));
    SetSourceText(source_, txtPaint->toPlainText().toStdString());
    modified_ = true;
    markParameterFaults();
    layoutTimer_->start();
}

void frmGCode::relayoutNow() {
    layoutTimer_->stop();
    if (isBusy()) {
        layoutTimer_->start();
        return;
    }
    // A value that cannot be laid out keeps the last good picture, list and figures.
    if (!markParameterFaults()) return;
    bool laidOut = false;
    runExclusive([&] {
        EventPump pump;
        Project edited;
        try {
            edited = ParseProjectSource(source_, pump);
        } catch (const NotAProjectError&) {
            lblMissing->setText(
                QStringLiteral("Все четыре параметра равны 0: рисунок не обновлён"));
            return;
        }
        edited.ProjectPath = project_.ProjectPath;
        project_ = std::move(edited);
        DrawMode = DrawingMode::Project;
        DrawLimit = 0;
        layOutProject(false);
        laidOut = true;
    });
    if (!laidOut) return;
    pic->setField(session_.viewBounds());
    refreshPreview();
    estimateLaidOut();
}

namespace {

// A long text in a font without its alphabet misses hundreds of letters: after
// «Пропустить остальные» one summary stands for the boxes not shown.
// A character Windows-1251 lacks is shown as itself, with its code.
void showMissingLetters(const LayoutResult& layout) {
    for (const char32_t character : layout.missingCharacters) {
        if (dialogs().messageOrSkipUtf8(MissingCharacterMessage(character, TextForm::Utf8), "",
                                        cp("Пропустить остальные"))) {
            dialogs().messageUtf8(MissingLettersSummary(layout.missingCharacters, TextForm::Utf8),
                                  "");
            return;
        }
    }
}

}  // namespace

void frmGCode::layOutProject(bool withMessages) {
    const std::string font =
        cboShrift->currentIndex() >= 0 ? pathFromQ(cboShrift->currentText()) : std::string();
    // Codes and bold letters are spaced by the tool's line width, and the
    // preview draws the writing that wide.
    MachiningSettings settings = session_.machiningSettings();
    settings.LineWidth = ChosenProfile().lineWidth;
    pic->setWritingWidth(settings.LineWidth);
    LayoutResult layout = LayOutProject(project_, font, settings);
    if (withMessages) showMissingLetters(layout);
    session_.penPoints() = std::move(layout.points);
    listIsRead_ = false;
    projectNotLaidOut_ = false;
    // Whatever was read before, the list now holds a project: lifts green, strokes red.
    DrawMode = DrawingMode::Project;
    lblReading->clear();
    lblReading->setToolTip(QString());
    session_.viewBounds() = layout.bounds;
    spsModel->show(session_.penPoints());
    cmdPaint->setEnabled(true);
    cmdSaveGCODE->setEnabled(true);
    markMissingLetters(layout.missing);
    showMirrorState();
    QStringList notes;
    for (const std::string& note : layout.notes) notes << toQ(note);
    lblPlacement->setText(notes.join(QStringLiteral("; ")));
}

void frmGCode::markMissingLetters(const std::array<bool, 256>& missing) {
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setForeground(QColor(200, 0, 0));
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(QColor(230, 0, 0));
    const QTextDocument* document = txtPaint->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const std::u16string_view line(reinterpret_cast<const char16_t*>(text.utf16()),
                                       static_cast<std::size_t>(text.size()));
        for (const TextSpan& at : MissingLetterSpans(line, missing)) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(txtPaint->document());
            mark.cursor.setPosition(block.position() + static_cast<int>(at.start));
            mark.cursor.setPosition(block.position() + static_cast<int>(at.start + at.length),
                                    QTextCursor::KeepAnchor);
            mark.format = format;
            marks.append(mark);
        }
    }
    txtPaint->setExtraSelections(marks);
    lblMissing->setText(
        marks.isEmpty() ? QString() : QStringLiteral("Нет в шрифте знаков: %1").arg(marks.size()));
}

void frmGCode::mnuSaveProject_Click() {
    if (refuseForParameterFaults("Проект не сохранён:")) return;
    const std::filesystem::path path = disk::fsPath(project_.ProjectPath);
    if (project_.ProjectPath.empty() || !path.has_filename())
        mnuSaveProjectAs_Click();
    else
        saveProjectTo(project_.ProjectPath);
}

void frmGCode::mnuSaveProjectAs_Click() {
    if (refuseForParameterFaults("Проект не сохранён:")) return;
    dialogs().chooseFile(session_.fileChoice());
    const FileChoice& choice = session_.fileChoice();
    if (choice.ChoiceConfirmed != 1) return;
    const std::filesystem::path current = disk::fsPath(project_.ProjectPath);
    const std::string proposed = current.has_filename()
                                     ? win1251::fromUtf8(disk::utf8Path(current.filename()))
                                     : "NewProject.txt";
    const std::string path = askProjectPath(choice.ChosenFolder, proposed);
    if (path.empty() || !saveProjectTo(path)) return;
    project_.ProjectPath = path;
    mnuReloadProject->setEnabled(true);
    cmdReloadProject->setEnabled(true);
}

bool frmGCode::saveProjectTo(const std::string& path) {
    try {
        WriteProjectSource(path, source_);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), windowCaption(), Dialogs::Icon::Error);
        return false;
    }
    modified_ = false;
    return true;
}

bool frmGCode::unsavedChangesHandled() {
    if (!modified_) return true;
    switch (
        dialogs().questionOrCancel(cp("Проект изменён. Сохранить изменения?"), windowCaption())) {
        case Dialogs::Answer::Yes:
            mnuSaveProject_Click();
            return !modified_;
        case Dialogs::Answer::No:
            modified_ = false;
            return true;
        case Dialogs::Answer::Cancel:
            break;
    }
    return false;
}
