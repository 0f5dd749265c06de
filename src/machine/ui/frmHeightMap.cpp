#include "machine/ui/frmHeightMap.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gcode/MoveNumber.h"
#include "lib/Dialogs.h"
#include "lib/FileChoice.h"
#include "lib/NumberText.h"
#include "lib/ProgramFolder.h"
#include "lib/TextFile.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "machine/MachineConnection.h"
#include "machine/ProbeSession.h"

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QDoubleSpinBox* millimetres(QWidget* parent, const char* name, double low, double high,
                            double value) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setDecimals(2);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" мм"));
    return box;
}

// Blue through green to red as t goes from 0 to 1.
QColor heightColour(double t) {
    t = std::clamp(t, 0.0, 1.0);
    const double hue = (1 - t) * 240.0 / 360.0;
    return QColor::fromHsvF(static_cast<float>(hue), 0.75F, 0.95F);
}

std::string mmText(double v) {
    return movenumber::fixedText(v, 3, false, numtext::decimalSeparator());
}

}  // namespace

QImage HeightMapPicture(const HeightMap& map, const std::optional<ProgramExtent>& extent,
                        QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const double margin = 12;
    double minX = map.x0, maxX = map.x1, minY = map.y0, maxY = map.y1;
    if (extent && extent->used[0] && extent->used[1]) {
        minX = std::min(minX, extent->min[0]);
        maxX = std::max(maxX, extent->max[0]);
        minY = std::min(minY, extent->min[1]);
        maxY = std::max(maxY, extent->max[1]);
    }
    const double scale = std::min((size.width() - 2 * margin) / std::max(maxX - minX, 1e-6),
                                  (size.height() - 2 * margin) / std::max(maxY - minY, 1e-6));
    // Centred in the picture.
    const double left = (size.width() - (maxX - minX) * scale) / 2;
    const double bottom = (size.height() + (maxY - minY) * scale) / 2;
    const auto toScreen = [&](double x, double y) {
        return QPointF(left + (x - minX) * scale, bottom - (y - minY) * scale);
    };
    const double low = map.lowest(), span = std::max(map.highest() - low, 1e-9);
    const QPointF corner0 = toScreen(map.x0, map.y1), corner1 = toScreen(map.x1, map.y0);
    for (int py = static_cast<int>(corner0.y()); py <= static_cast<int>(corner1.y()); ++py)
        for (int px = static_cast<int>(corner0.x()); px <= static_cast<int>(corner1.x()); ++px) {
            if (px < 0 || py < 0 || px >= size.width() || py >= size.height()) continue;
            const double x = minX + (px - left) / scale;
            const double y = minY + (bottom - py) / scale;
            image.setPixelColor(px, py, heightColour((map.height(x, y) - low) / span));
        }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (std::size_t row = 0; row < map.rows; ++row)
        for (std::size_t column = 0; column < map.columns; ++column)
            p.drawEllipse(toScreen(map.pointX(column), map.pointY(row)), 2.0, 2.0);
    if (extent && extent->used[0] && extent->used[1]) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 1.5));
        p.drawRect(QRectF(toScreen(extent->min[0], extent->max[1]),
                          toScreen(extent->max[0], extent->min[1])));
    }
    return image;
}

frmHeightMap::frmHeightMap(MachineConnection& machine,
                           std::function<std::optional<ProgramExtent>()> programExtent,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      machine_(machine),
      programExtent_(std::move(programExtent)),
      probe_(new ProbeSession(machine, this)),
      folder_(programFolder()) {
    setObjectName("frmHeightMap");
    setWindowTitle(QStringLiteral("Карта высот"));
    auto* zero = new QGroupBox(QStringLiteral("Ноль Z щупом"), this);
    auto* zeroRow = new QHBoxLayout(zero);
    spnPlate = millimetres(zero, "spnPlate", 0, 50, 0);
    spnPlate->setToolTip(QStringLiteral("Толщина пластины щупа; 0 — щуп касается самой заготовки"));
    cmdTouchPlate = button(zero, "cmdTouchPlate", QStringLiteral("Ноль Z щупом"));
    zeroRow->addWidget(new QLabel(QStringLiteral("Толщина пластины"), zero));
    zeroRow->addWidget(spnPlate);
    zeroRow->addWidget(cmdTouchPlate);

    auto* grid = new QGroupBox(QStringLiteral("Сетка измерения (координаты заготовки)"), this);
    auto* form = new QGridLayout(grid);
    spnX0 = millimetres(grid, "spnX0", -10000, 10000, 0);
    spnY0 = millimetres(grid, "spnY0", -10000, 10000, 0);
    spnX1 = millimetres(grid, "spnX1", -10000, 10000, 100);
    spnY1 = millimetres(grid, "spnY1", -10000, 10000, 50);
    cmdAreaFromProgram = button(grid, "cmdAreaFromProgram", QStringLiteral("По программе"));
    cmdAreaFromProgram->setToolTip(QStringLiteral("Область программы с полями 2 мм"));
    spnColumns = new QSpinBox(grid);
    spnColumns->setObjectName("spnColumns");
    spnColumns->setRange(2, 50);
    spnColumns->setValue(5);
    spnRows = new QSpinBox(grid);
    spnRows->setObjectName("spnRows");
    spnRows->setRange(2, 50);
    spnRows->setValue(3);
    spnProbeFeed = millimetres(grid, "spnProbeFeed", 1, 2000, 100);
    spnProbeFeed->setSuffix(QStringLiteral(" мм/мин"));
    spnRetract = millimetres(grid, "spnRetract", 0.1, 50, 2);
    spnDepth = millimetres(grid, "spnDepth", 0.1, 100, 5);
    form->addWidget(new QLabel(QStringLiteral("X от"), grid), 0, 0);
    form->addWidget(spnX0, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("до"), grid), 0, 2);
    form->addWidget(spnX1, 0, 3);
    form->addWidget(new QLabel(QStringLiteral("Y от"), grid), 1, 0);
    form->addWidget(spnY0, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("до"), grid), 1, 2);
    form->addWidget(spnY1, 1, 3);
    form->addWidget(cmdAreaFromProgram, 0, 4, 2, 1);
    form->addWidget(new QLabel(QStringLiteral("Точек по X"), grid), 2, 0);
    form->addWidget(spnColumns, 2, 1);
    form->addWidget(new QLabel(QStringLiteral("по Y"), grid), 2, 2);
    form->addWidget(spnRows, 2, 3);
    form->addWidget(new QLabel(QStringLiteral("Подача щупа"), grid), 3, 0);
    form->addWidget(spnProbeFeed, 3, 1);
    form->addWidget(new QLabel(QStringLiteral("Подъём"), grid), 3, 2);
    form->addWidget(spnRetract, 3, 3);
    form->addWidget(new QLabel(QStringLiteral("Глубина поиска"), grid), 4, 0);
    form->addWidget(spnDepth, 4, 1);

    cmdProbe = button(this, "cmdProbe", QStringLiteral("Снять карту"));
    cmdLoad = button(this, "cmdLoad", QStringLiteral("Загрузить…"));
    cmdSave = button(this, "cmdSave", QStringLiteral("Сохранить…"));
    chkApply = new QCheckBox(QStringLiteral("Писать по карте"), this);
    chkApply->setObjectName("chkApply");
    chkApply->setToolTip(
        QStringLiteral("Программа пойдёт за поверхностью: глубина везде от поверхности"));
    prgProbe = new QProgressBar(this);
    prgProbe->setObjectName("prgProbe");
    prgProbe->setFormat(QStringLiteral("%v из %m точек"));
    prgProbe->setValue(0);
    lblPicture = new QLabel(this);
    lblPicture->setObjectName("lblPicture");
    lblPicture->setMinimumSize(360, 220);
    lblPicture->setAlignment(Qt::AlignCenter);
    lblRange = new QLabel(this);
    lblRange->setObjectName("lblRange");
    lblRange->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdProbe);
    buttons->addWidget(cmdLoad);
    buttons->addWidget(cmdSave);
    buttons->addWidget(chkApply);
    auto* column = new QVBoxLayout(this);
    column->addWidget(zero);
    column->addWidget(grid);
    column->addLayout(buttons);
    column->addWidget(prgProbe);
    column->addWidget(lblPicture, 1);
    column->addWidget(lblRange);

    connect(cmdAreaFromProgram, &QPushButton::clicked, this,
            [this] { cmdAreaFromProgram_Click(); });
    connect(cmdTouchPlate, &QPushButton::clicked, this, [this] { cmdTouchPlate_Click(); });
    connect(cmdProbe, &QPushButton::clicked, this, [this] { cmdProbe_Click(); });
    connect(cmdLoad, &QPushButton::clicked, this, [this] { cmdLoad_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(chkApply, &QCheckBox::toggled, this, [this] { emit mapChanged(); });
    connect(probe_, &ProbeSession::pointProbed, this, [this](std::size_t done, std::size_t total) {
        prgProbe->setMaximum(static_cast<int>(total));
        prgProbe->setValue(static_cast<int>(done));
    });
    connect(probe_, &ProbeSession::mapReady, this, [this](const HeightMap& map) {
        setMap(map);
        updateControls();
    });
    connect(probe_, &ProbeSession::zeroSet, this, [this] {
        lblRange->setText(QStringLiteral("Ноль Z установлен по щупу."));
        updateControls();
    });
    connect(probe_, &ProbeSession::failed, this, [this](const std::string& message) {
        updateControls();
        tell(message);
    });
    connect(&machine_, &MachineConnection::statusChanged, this, [this] { updateControls(); });
    cmdAreaFromProgram_Click();
    showMap();
    updateControls();
}

bool frmHeightMap::applied() const { return map_ && chkApply->isChecked(); }

bool frmHeightMap::probing() const { return probe_->running(); }

void frmHeightMap::tell(const std::string& text1251) {
    dialogs().message(text1251, cp("Карта высот"));
}

void frmHeightMap::cmdAreaFromProgram_Click() {
    const std::optional<ProgramExtent> extent = programExtent_ ? programExtent_() : std::nullopt;
    if (!extent || !extent->used[0] || !extent->used[1]) return;
    constexpr double kMargin = 2;
    spnX0->setValue(extent->min[0] - kMargin);
    spnY0->setValue(extent->min[1] - kMargin);
    spnX1->setValue(extent->max[0] + kMargin);
    spnY1->setValue(extent->max[1] + kMargin);
}

void frmHeightMap::updateControls() {
    const bool ready = machine_.isConnected() && !machine_.jobRunning() &&
                       machine_.status().state == "Idle" && !probe_->running();
    cmdTouchPlate->setEnabled(ready);
    cmdProbe->setEnabled(ready && machine_.offsetKnown());
    cmdSave->setEnabled(map_.has_value());
    chkApply->setEnabled(map_.has_value());
}

void frmHeightMap::cmdTouchPlate_Click() {
    if (!dialogs().question(
            cp("Подведите инструмент к пластине щупа (не выше глубины поиска) и подключите "
               "щуп. Станок опустит инструмент до касания и установит ноль Z. Начать?"),
            cp("Карта высот")))
        return;
    probe_->zeroByTouchPlate(spnPlate->value(), spnDepth->value(), spnProbeFeed->value(),
                             spnRetract->value());
    updateControls();
}

void frmHeightMap::cmdProbe_Click() {
    ProbeGrid grid;
    grid.x0 = spnX0->value();
    grid.y0 = spnY0->value();
    grid.x1 = spnX1->value();
    grid.y1 = spnY1->value();
    grid.columns = static_cast<std::size_t>(spnColumns->value());
    grid.rows = static_cast<std::size_t>(spnRows->value());
    grid.feed = spnProbeFeed->value();
    grid.retract = spnRetract->value();
    grid.depth = spnDepth->value();
    if (grid.x1 <= grid.x0 || grid.y1 <= grid.y0) {
        tell(cp("Область измерения пуста: «до» должно быть больше «от» по X и по Y."));
        return;
    }
    const std::string question =
        cp("Снять карту " + std::to_string(grid.columns) + " x " + std::to_string(grid.rows) +
           " точек? Ноль Z должен стоять у поверхности заготовки; станок будет опускать щуп в "
           "каждой точке до касания, не глубже ") +
        mmText(grid.depth) + cp(" мм.");
    if (!dialogs().question(question, cp("Карта высот"))) return;
    prgProbe->setMaximum(static_cast<int>(grid.columns * grid.rows));
    prgProbe->setValue(0);
    probe_->probeGrid(grid);
    updateControls();
}

void frmHeightMap::setMap(const HeightMap& map) {
    map_ = map;
    showMap();
    updateControls();
    emit mapChanged();
}

void frmHeightMap::showMap() {
    if (!map_) {
        lblPicture->setText(QStringLiteral("Карты нет: снимите её или загрузите"));
        lblRange->clear();
        return;
    }
    const std::optional<ProgramExtent> extent = programExtent_ ? programExtent_() : std::nullopt;
    lblPicture->setPixmap(QPixmap::fromImage(HeightMapPicture(*map_, extent, QSize(360, 220))));
    lblRange->setText(toQ(cp("Высоты от ") + mmText(map_->lowest()) + cp(" (синий) до ") +
                          mmText(map_->highest()) + cp(" мм (красный), перепад ") +
                          mmText(map_->highest() - map_->lowest()) + cp(" мм; ") +
                          std::to_string(map_->columns) + " x " + std::to_string(map_->rows) +
                          cp(" точек. Чёрная рамка — программа.")));
}

void frmHeightMap::cmdLoad_Click() {
    FileChoice choice;
    choice.ChosenFolder = folder_;
    dialogs().chooseFile(choice);
    if (choice.ChoiceConfirmed != 1) return;
    try {
        const HeightMap map = ReadHeightMapFile(joinPath(choice.ChosenFolder, choice.ChosenFile));
        folder_ = choice.ChosenFolder;
        setMap(map);
    } catch (const VezorError& e) {
        tell(e.message());
    }
}

void frmHeightMap::cmdSave_Click() {
    if (!map_) return;
    FileChoice choice;
    choice.ChosenFolder = folder_;
    dialogs().chooseFile(choice);
    if (choice.ChoiceConfirmed != 1) return;
    std::string name =
        dialogs().input(cp("Имя файла карты высот"), cp("Карта высот"), "heightmap.csv");
    if (name.empty()) return;
    if (name.find('.') == std::string::npos) name += ".csv";
    const std::string path = joinPath(choice.ChosenFolder, win1251::toUtf8(name));
    if (textfile::isFile(path) &&
        !dialogs().question(cp("Файл «") + name + cp("» уже есть. Заменить его?"),
                            cp("Карта высот"), Dialogs::Answer::No))
        return;
    try {
        WriteHeightMapFile(path, *map_);
        folder_ = choice.ChosenFolder;
    } catch (const VezorError& e) {
        tell(e.message());
    }
}
