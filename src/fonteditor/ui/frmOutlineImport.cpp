#include "fonteditor/ui/frmOutlineImport.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "fonteditor/ui/LetterSamplePanel.h"
#include "fontsource/FontImport.h"
#include "fontsource/FontSources.h"
#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/VezorError.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "lib/ui/WindowPlacement.h"
#include "main/FontList.h"
#include "main/FontListChanges.h"

namespace {

const char* const kTitle = "Импорт шрифта";

QString figure(double value) {
    QString text = QString::number(value, 'f', 2);
    return text.replace('.', QChar::fromLatin1(numtext::decimalSeparator()));
}

QString character(int code) { return toQ(std::string(1, static_cast<char>(code))); }

QString summary(const fontc::OutlineConversion& c) {
    return QStringLiteral(
               "Букв и цифр %1: покрытие (медиана) %2, выход за контур (медиана) %3, "
               "отростков %4.")
        .arg(c.counted)
        .arg(figure(c.medianCoverage), figure(c.medianSpill))
        .arg(c.spurs);
}

// A family's name with its style, unless that is the plain one.
std::string proposedName(const fontc::OutlineFontInfo& info) {
    const QString style = QString::fromStdString(info.style);
    std::string name = info.family;
    if (!style.isEmpty() && style.compare("Regular", Qt::CaseInsensitive) != 0 &&
        style.compare("Book", Qt::CaseInsensitive) != 0 &&
        style.compare("Normal", Qt::CaseInsensitive) != 0)
        name += " " + info.style;
    return name;
}

void fail(const std::string& utf8) {
    dialogs().message(win1251::fromUtf8(utf8), cp(kTitle), Dialogs::Icon::Error);
}

std::optional<fontc::OutlineConversion> convertWithProgress(const fontc::OutlineFont& font,
                                                            QWidget* parent) {
    QProgressDialog progress(QStringLiteral("Средние линии букв…"), QStringLiteral("Отмена"), 0, 1,
                             parent);
    progress.setObjectName(QStringLiteral("prgImport"));
    progress.setWindowTitle(QString::fromUtf8(kTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(360);
    fontc::OutlineConversion c =
        fontc::convertOutlineFont(font, "", [&](std::size_t done, std::size_t total) {
            progress.setMaximum(static_cast<int>(total));
            progress.setLabelText(
                done * 2 < total
                    ? QStringLiteral("Средние линии букв: %1 из %2").arg(done + 1).arg(total / 2)
                    : QStringLiteral("Соединение штрихов: %1 из %2")
                          .arg(done - total / 2 + 1)
                          .arg(total / 2));
            // A modal progress dialog runs the pending events in setValue.
            progress.setValue(static_cast<int>(done));
            return !progress.wasCanceled();
        });
    if (!c.font.complete) return std::nullopt;
    return c;
}

}  // namespace

bool isOutlineFontFile(const std::string& path) {
    const QString ext =
        QString::fromStdString(std::filesystem::path(path).extension().string()).toLower();
    return ext == ".ttf" || ext == ".otf" || ext == ".ttc" || ext == ".otc";
}

OutlineImportResult ImportOutlineFont(const std::string& path, int face, QWidget* parent) {
    const std::string file = std::filesystem::path(path).filename().string();
    std::unique_ptr<fontc::OutlineFont> font;
    try {
        const std::string bytes = fontc::readSourceFile(path);
        if (face < 0) {
            face = 0;
            const int faces = fontc::OutlineFont(bytes).info().faceCount;
            if (faces > 1) {
                const std::string answer = dialogs().input(
                    win1251::fromUtf8("В файле " + file + " начертаний: " + std::to_string(faces) +
                                      ". Какое взять (от 0 до " + std::to_string(faces - 1) + ")?"),
                    cp(kTitle), "0");
                if (answer.empty()) return {};
                face = std::clamp(std::atoi(answer.c_str()), 0, faces - 1);
            }
        }
        font = std::make_unique<fontc::OutlineFont>(bytes, face);
    } catch (const std::exception& e) {
        fail("Шрифт не прочитан из файла " + file + ":\n" + e.what());
        return {};
    }

    std::optional<fontc::OutlineConversion> conversion;
    try {
        conversion = convertWithProgress(*font, parent);
    } catch (const std::exception& e) {
        fail(std::string("Шрифт не создан: ") + e.what());
        return {};
    }
    if (!conversion) return {};
    if (conversion->font.letters.empty()) {
        fail("Ни одна буква не помещается в поле буквы: шрифт не создан");
        return {};
    }

    std::unique_ptr<frmOutlinePreview> preview;
    try {
        preview =
            std::make_unique<frmOutlinePreview>(*conversion, proposedName(font->info()), parent);
    } catch (const VezorError& e) {
        dialogs().message(cp("Образец не построен: ") + e.message(), cp(kTitle),
                          Dialogs::Icon::Error);
        return {};
    } catch (const std::exception& e) {
        fail(std::string("Образец не построен: ") + e.what());
        return {};
    }
    PlaceOnScreen(preview.get());
    if (preview->exec() != QDialog::Accepted) return {};
    const std::string name = preview->name();
    conversion->font.folder = name;
    conversion->font.licence = fontc::outlineLicence(font->info(), name);
    try {
        fontc::installFontFolder(conversion->font, joinPath(programFolder(), "font"), name);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), cp(kTitle), Dialogs::Icon::Error);
        return {};
    }
    fontListChanges().announce();
    OutlineImportResult result;
    result.font = joinPath("font", name);
    frmOutlineReport report(*conversion, result.font, parent);
    PlaceOnScreen(&report);
    report.exec();
    result.letterToOpen = report.chosenLetter();
    return result;
}

std::optional<fontc::InstalledFont> ChooseInstalledFont(QWidget* parent) {
    auto fonts = fontc::installedOutlineFonts();
    if (fonts.empty()) {
        fail("На компьютере не найдено шрифтов TrueType или OpenType");
        return std::nullopt;
    }
    frmInstalledFonts chooser(std::move(fonts), parent);
    PlaceOnScreen(&chooser);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return chooser.chosen();
}

frmInstalledFonts::frmInstalledFonts(std::vector<fontc::InstalledFont> fonts, QWidget* parent)
    : QDialog(parent), fonts_(std::move(fonts)) {
    setObjectName(QStringLiteral("frmInstalledFonts"));
    setWindowTitle(QStringLiteral("Шрифты компьютера"));
    setModal(true);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("Поиск по названию"));
    spsFonts = new QListWidget(this);
    spsFonts->setObjectName(QStringLiteral("spsFonts"));
    lblFile = new QLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    cmdOk = buttons->button(QDialogButtonBox::Ok);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setText(QStringLiteral("Выбрать"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(txtFilter, &QLineEdit::textChanged, this, [this] { fill(); });
    connect(spsFonts, &QListWidget::currentRowChanged, this, [this](int row) {
        cmdOk->setEnabled(row >= 0);
        lblFile->setText(row >= 0
                             ? QString::fromStdString(shown_[static_cast<std::size_t>(row)].file)
                             : QString());
    });
    connect(spsFonts, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtFilter);
    layout->addWidget(spsFonts, 1);
    layout->addWidget(lblFile);
    layout->addWidget(buttons);
    resize(460, 480);
    fill();
}

void frmInstalledFonts::fill() {
    shown_ = fontc::filterFonts(fonts_, txtFilter->text().toStdString());
    spsFonts->clear();
    for (const auto& font : shown_)
        spsFonts->addItem(QString::fromStdString(font.family) + QStringLiteral(" — ") +
                          QString::fromStdString(font.style));
    spsFonts->setCurrentRow(shown_.empty() ? -1 : 0);
    cmdOk->setEnabled(!shown_.empty());
}

std::optional<fontc::InstalledFont> frmInstalledFonts::chosen() const {
    const int row = spsFonts->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return std::nullopt;
    return shown_[static_cast<std::size_t>(row)];
}

frmOutlinePreview::frmOutlinePreview(const fontc::OutlineConversion& conversion,
                                     const std::string& proposedName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmOutlinePreview"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setModal(true);
    // The sample is laid out from a scratch copy; the user's font folder is
    // written only once the font has its name.
    fontc::writeFontFolder(conversion.font, scratch_.path().toStdString());
    sampleSession_.CurrentFont() = scratch_.path().toStdString();

    txtName = new QLineEdit(QString::fromStdString(proposedName), this);
    txtName->setObjectName(QStringLiteral("txtName"));
    lblSummary = new QLabel(summary(conversion), this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    sample = new LetterSamplePanel(sampleSession_, this);
    sample->chkPoints->hide();
    sample->setLetter(std::nullopt, {});
    sample->picSample->setMinimumHeight(110);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    cmdWrite = buttons->button(QDialogButtonBox::Ok);
    cmdWrite->setObjectName(QStringLiteral("cmdWrite"));
    cmdWrite->setText(QStringLiteral("Записать"));
    cmdCancel = buttons->button(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { write(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("Имя нового шрифта:"), this));
    name->addWidget(txtName, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addWidget(sample);
    layout->addWidget(lblSummary);
    layout->addWidget(buttons);
    resize(640, 280);
}

frmOutlinePreview::~frmOutlinePreview() = default;

std::string frmOutlinePreview::name() const { return txtName->text().toStdString(); }

void frmOutlinePreview::write() {
    const std::string name = this->name();
    const std::string why = fontc::badFontName(name);
    if (!why.empty()) {
        dialogs().message(cp("Имя не подходит: ") + win1251::fromUtf8(why), cp(kTitle),
                          Dialogs::Icon::Error);
        return;
    }
    const std::string listName = joinPath("font", name);
    const auto fonts = FontList();
    if (std::find(fonts.begin(), fonts.end(), listName) != fonts.end() &&
        !dialogs().question(win1251::fromUtf8("Шрифт «" + listName + "» уже есть. Заменить его?"),
                            cp(kTitle), Dialogs::Answer::No))
        return;
    accept();
}

frmOutlineReport::frmOutlineReport(const fontc::OutlineConversion& conversion,
                                   const std::string& fontName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmOutlineReport"));
    setWindowTitle(QString::fromUtf8(kTitle));
    setModal(true);
    lblSummary = new QLabel(QStringLiteral("Шрифт «%1». ").arg(QString::fromStdString(fontName)) +
                                summary(conversion) +
                                QStringLiteral(" Перо — средняя толщина штриха шрифта, %1 "
                                               "единицы буквы.")
                                    .arg(figure(conversion.penWidth)),
                            this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    auto* worst = new QHBoxLayout;
    worst->addWidget(new QLabel(QStringLiteral("Хуже всех (открыть в редакторе):"), this));
    for (int code : fontc::worstLetters(conversion, 8)) {
        auto* button =
            new QPushButton(QStringLiteral("«%1» %2").arg(
                                character(code), figure(conversion.quality.at(code).coverage)),
                            this);
        button->setObjectName(QStringLiteral("cmdWorst%1").arg(cmdWorst.size()));
        button->setProperty("code", code);
        connect(button, &QPushButton::clicked, this, [this, code] {
            chosen_ = code;
            accept();
        });
        worst->addWidget(button);
        cmdWorst.push_back(button);
    }
    worst->addStretch(1);

    // Every letter, the worst covered first.
    std::vector<std::pair<double, int>> order;
    for (const auto& [code, q] : conversion.quality)
        if (conversion.font.letters.count(code)) order.push_back({q.coverage, code});
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    tblLetters = new QTableWidget(static_cast<int>(order.size()), 5, this);
    tblLetters->setObjectName(QStringLiteral("tblLetters"));
    tblLetters->setHorizontalHeaderLabels(
        {QStringLiteral("Знак"), QStringLiteral("Код"), QStringLiteral("Покрытие"),
         QStringLiteral("Выход за контур"), QStringLiteral("Отростки")});
    tblLetters->verticalHeader()->hide();
    tblLetters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblLetters->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (std::size_t row = 0; row < order.size(); ++row) {
        const int code = order[row].second;
        const fontc::LetterQuality& q = conversion.quality.at(code);
        const QStringList cells = {character(code), QString::number(code), figure(q.coverage),
                                   figure(q.spill), QString::number(q.spurs)};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setData(Qt::UserRole, code);
            tblLetters->setItem(static_cast<int>(row), column, item);
        }
    }
    tblLetters->resizeColumnsToContents();
    connect(tblLetters, &QTableWidget::itemDoubleClicked, this, [this](QTableWidgetItem* item) {
        chosen_ = item->data(Qt::UserRole).toInt();
        accept();
    });

    QString joining = QString::fromStdString(fontc::importReport(conversion.font, fontName));
    if (!conversion.missing.empty()) {
        QString missing;
        for (int code : conversion.missing) missing += character(code);
        joining +=
            QStringLiteral("Нет в шрифте (%1): %2\n").arg(conversion.missing.size()).arg(missing);
    }
    txtJoining = new QPlainTextEdit(joining, this);
    txtJoining->setObjectName(QStringLiteral("txtJoining"));
    txtJoining->setReadOnly(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    cmdOk = buttons->button(QDialogButtonBox::Ok);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* columns = new QHBoxLayout;
    columns->addWidget(tblLetters, 3);
    columns->addWidget(txtJoining, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addLayout(worst);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);
    resize(860, 520);
}
