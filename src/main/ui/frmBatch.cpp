#include "main/ui/frmBatch.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gcode/GCodeWriter.h"
#include "lib/Dialogs.h"
#include "lib/EventPump.h"
#include "lib/FileChoice.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/ui/QtText.h"
#include "main/PreviewScene.h"
#include "main/ProjectFile.h"
#include "main/ui/PreviewSurface.h"

namespace {

const char* kCaption = "Пакет";

}  // namespace

frmBatch::frmBatch(FileChoice& chooser, std::string projectPath, std::string font,
                   MachiningSettings settings, ProgramBuilder build, QWidget* parent)
    : QDialog(parent),
      chooser_(chooser),
      projectPath_(std::move(projectPath)),
      font_(std::move(font)),
      settings_(std::move(settings)),
      build_(std::move(build)) {
    setObjectName("frmBatch");
    setWindowTitle(QString::fromUtf8(kCaption));
    const GCodeTarget target = ProposeGCodeTarget(projectPath_);
    folder_ = GCodeFilePath(target, "");

    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(name);
        return widget;
    };
    optTable = named(new QRadioButton(QStringLiteral("Таблица CSV"), this), "optTable");
    txtTable = named(new QLineEdit(this), "txtTable");
    cmdChooseTable = named(new QPushButton(QStringLiteral("Выбрать…"), this), "cmdChooseTable");
    optSerial = named(new QRadioButton(QStringLiteral("Номера от..до"), this), "optSerial");
    txtSerial = named(new QLineEdit(QStringLiteral("1..10"), this), "txtSerial");
    txtOut = named(new QLineEdit(QStringLiteral("plate-{N}.gcode"), this), "txtOut");
    lblFolder = named(new QLabel(QStringLiteral("Папка: ") + pathToQ(target.relativeFolder.empty()
                                                                         ? std::string("./")
                                                                         : target.relativeFolder),
                                 this),
                      "lblFolder");
    chkGrid = named(new QCheckBox(QStringLiteral("Все пластины в одну программу, сеткой"), this),
                    "chkGrid");
    spnColumns = named(new QSpinBox(this), "spnColumns");
    spnColumns->setRange(1, 1000);
    spnColumns->setValue(5);
    spnColumns->setSuffix(QStringLiteral(" в ряд"));
    spnPitchX = named(new QDoubleSpinBox(this), "spnPitchX");
    spnPitchY = named(new QDoubleSpinBox(this), "spnPitchY");
    for (QDoubleSpinBox* pitch : {spnPitchX, spnPitchY}) {
        pitch->setRange(0.1, 100000);
        pitch->setValue(110);
        pitch->setSuffix(QStringLiteral(" мм"));
    }
    cmdPreview = named(new QPushButton(QStringLiteral("Показать первую"), this), "cmdPreview");
    picBatch = named(new PreviewSurface(this), "picBatch");
    picBatch->setMinimumSize(360, 360);
    prgBatch = named(new QProgressBar(this), "prgBatch");
    prgBatch->setValue(0);
    txtReport = named(new QPlainTextEdit(this), "txtReport");
    txtReport->setReadOnly(true);
    txtReport->setMaximumBlockCount(10000);
    cmdWrite = named(new QPushButton(QStringLiteral("Записать"), this), "cmdWrite");
    cmdCancel = named(new QPushButton(QStringLiteral("Закрыть"), this), "cmdCancel");
    optTable->setChecked(true);

    auto* form = new QFormLayout;
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(txtTable, 1);
    tableRow->addWidget(cmdChooseTable);
    form->addRow(optTable, tableRow);
    form->addRow(optSerial, txtSerial);
    form->addRow(QStringLiteral("Файлы"), txtOut);
    form->addRow(QString(), lblFolder);
    auto* gridRow = new QHBoxLayout;
    gridRow->addWidget(spnColumns);
    gridRow->addWidget(new QLabel(QStringLiteral("шаг"), this));
    gridRow->addWidget(spnPitchX);
    gridRow->addWidget(new QLabel(QStringLiteral("×"), this));
    gridRow->addWidget(spnPitchY);
    form->addRow(chkGrid, gridRow);

    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(cmdPreview, 0, Qt::AlignLeft);
    right->addWidget(prgBatch);
    right->addWidget(txtReport, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdWrite);
    buttons->addWidget(cmdCancel);
    right->addLayout(buttons);
    auto* outer = new QHBoxLayout(this);
    outer->addWidget(picBatch, 1);
    outer->addLayout(right, 1);

    connect(cmdChooseTable, &QPushButton::clicked, this, [this] { cmdChooseTable_Click(); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    connect(cmdWrite, &QPushButton::clicked, this, [this] { cmdWrite_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    resize(900, 520);
}

void frmBatch::cmdChooseTable_Click() {
    dialogs().chooseFile(chooser_);
    const FileChoice& choice = chooser_;
    if (choice.ChoiceConfirmed != 1) return;
    txtTable->setText(pathToQ(joinPath(choice.ChosenFolder, choice.ChosenFile)));
    optTable->setChecked(true);
}

void frmBatch::report(const std::string& cp1251) { txtReport->appendPlainText(toQ(cp1251)); }

std::optional<PlateBatch> frmBatch::makeBatch(bool grid) {
    try {
        PlateRows rows;
        if (optTable->isChecked()) {
            rows.table = ReadCsvFile(pathFromQ(txtTable->text().trimmed()));
        } else if (const auto range = SerialRange(pathFromQ(txtSerial->text().trimmed()))) {
            rows = *range;
        } else {
            throw BatchError(cp("Номера задаются как «от..до», например 1..100"));
        }
        std::string project;
        try {
            project = textfile::readBytes(projectPath_);
        } catch (const FileReadError&) {
            throw NotAProjectError();
        }
        const std::string pattern = pathFromQ(txtOut->text().trimmed());
        if (pattern.empty()) throw BatchError(cp("Укажите имя файла, например plate-{N}.gcode"));
        return PlateBatch(project, std::move(rows),
                          grid ? std::string() : joinPath(folder_, pattern));
    } catch (const VezorError& e) {
        dialogs().message(e.message(), fromQ(windowTitle()));
        return std::nullopt;
    }
}

void frmBatch::showPreview(const LayoutResult& layout) {
    EventPump none;
    auto scene = std::make_shared<const PreviewScene>(*layout.points, DrawingMode::Project, none);
    // A grid's bounds are no field: no border then.
    picBatch->setContent(scene, scene->size(), chkGrid->isChecked() ? 0 : layout.bounds.MaxX);
    picBatch->showScale(layout.bounds, 1.0);
    picBatch->fitAll();
}

void frmBatch::cmdPreview_Click() {
    if (running_) return;
    const bool grid = chkGrid->isChecked();
    const std::optional<PlateBatch> batch = makeBatch(grid);
    if (!batch) return;
    if (grid) {
        std::vector<std::string> skipped;
        showPreview(LayOutPlateGrid(*batch, static_cast<std::size_t>(spnColumns->value()),
                                    spnPitchX->value(), spnPitchY->value(), font_, settings_,
                                    MoveTexts::Build, skipped));
        for (const std::string& message : skipped) report(message);
        return;
    }
    try {
        showPreview(batch->layOut(0, font_, settings_, MoveTexts::Build));
    } catch (const PlateError& e) {
        report(e.message());
    }
}

void frmBatch::writeGrid(const PlateBatch& batch) {
    std::vector<std::string> skipped;
    const LayoutResult grid =
        LayOutPlateGrid(batch, static_cast<std::size_t>(spnColumns->value()), spnPitchX->value(),
                        spnPitchY->value(), font_, settings_, MoveTexts::Build, skipped);
    for (const std::string& message : skipped) report(message);
    const std::string path = joinPath(folder_, pathFromQ(txtOut->text().trimmed()));
    try {
        WriteGCodeFile(path, build_(*grid.points));
    } catch (const VezorError& e) {
        report(e.message());
        return;
    }
    prgBatch->setValue(prgBatch->maximum());
    report(cp("Записано в один файл: ") + win1251::fromUtf8(path));
}

void frmBatch::cmdWrite_Click() {
    if (running_) return;
    txtReport->clear();
    const bool grid = chkGrid->isChecked();
    const std::optional<PlateBatch> batch = makeBatch(grid);
    if (!batch) return;
    prgBatch->setRange(0, static_cast<int>(std::min<std::size_t>(batch->count(), 1 << 30)));
    prgBatch->setValue(0);
    if (grid) {
        writeGrid(*batch);
        return;
    }
    running_ = true;
    cancel_ = false;
    cmdWrite->setEnabled(false);
    cmdPreview->setEnabled(false);
    cmdCancel->setText(QStringLiteral("Отмена"));
    const BatchReport done = WritePlateFiles(*batch, font_, settings_, build_,
                                             [&](std::size_t count, const PlateOutcome& plate) {
                                                 if (plate.path.empty()) report(plate.message);
                                                 prgBatch->setValue(static_cast<int>(count));
                                                 QCoreApplication::processEvents();
                                                 return !cancel_;
                                             });
    running_ = false;
    cmdWrite->setEnabled(true);
    cmdPreview->setEnabled(true);
    cmdCancel->setText(QStringLiteral("Закрыть"));
    const std::string summary = cp("записано файлов: ") + std::to_string(done.written()) +
                                cp(" из ") + std::to_string(batch->count());
    report(done.cancelled ? cp("Прервано, ") + summary : cp("Готово, ") + summary);
}

void frmBatch::cmdCancel_Click() {
    if (running_)
        cancel_ = true;
    else
        QDialog::reject();
}
