#include "main/ui/frmGCode.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "lib/Dialogs.h"
#include "lib/MachiningSettings.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"
#include "main/FontList.h"
#include "main/FontListChanges.h"
#include "main/Session.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"

frmGCode::frmGCode(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName("frmGCode");
    setWindowTitle(toQ(AppCaption()));
    buildMenus();
    buildControls();
    // The window's layout does not count what the status bar's widgets need:
    // without this the figures and notes would be pressed into each other.
    int barWidth = 2 * style()->pixelMetric(QStyle::PM_SizeGripSize);
    for (const QWidget* label :
         {lblCursor, lblMeasure, lblReading, lblEstimate, lblMissing, lblPlacement})
        barWidth += std::max(label->minimumWidth(), label->minimumSizeHint().width()) + 12;
    setMinimumSize(std::max(minimumSizeHint().width(), barWidth), minimumSizeHint().height());
    resize(1100, 760);
    // A font brought in from the font editor shows in the list at once; the choice stays.
    connect(&fontListChanges(), &FontListChanges::changed, this, [this] {
        const QString chosen = cboShrift->currentText();
        const QSignalBlocker quiet(cboShrift);
        cboShrift->clear();
        for (const auto& font : FontList()) cboShrift->addItem(pathToQ(font));
        cboShrift->setCurrentIndex(std::max(0, cboShrift->findText(chosen)));
    });
}

frmGCode::~frmGCode() {
    // A running estimate reports to this window when it ends.
    if (estimates_) estimates_->waitForDone();
}

std::string frmGCode::windowCaption() const { return fromQ(windowTitle()); }

void frmGCode::buildMenus() {
    mnuF = menuBar()->addMenu(QStringLiteral("Файл"));
    mnuF->setObjectName("mnuF");
    const auto item = [this](const char* name, const QString& text, void (frmGCode::*handler)()) {
        QAction* action = mnuF->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    mnuNewProject =
        item("mnuNewProject", QStringLiteral("Создать проект"), &frmGCode::mnuNewProject_Click);
    mnuOpenProject = item("mnuOpenProject", QStringLiteral("Открыть файл проекта"),
                          &frmGCode::mnuOpenProject_Click);
    mnuReloadProject = item("mnuReloadProject", QStringLiteral("Перегрузить проект"),
                            &frmGCode::mnuReloadProject_Click);
    mnuReloadProject->setEnabled(false);
    mnuSaveProject =
        item("mnuSaveProject", QStringLiteral("Сохранить проект"), &frmGCode::mnuSaveProject_Click);
    mnuSaveProjectAs = item("mnuSaveProjectAs", QStringLiteral("Сохранить проект как…"),
                            &frmGCode::mnuSaveProjectAs_Click);
    mnuExportPlate = item("mnuExportPlate", QStringLiteral("Сохранить как SVG/DXF…"),
                          &frmGCode::mnuExportPlate_Click);
    mnuLine1 = mnuF->addSeparator();
    mnuLine1->setObjectName("mnuLine1");
    mnuFontEdit =
        item("mnuFontEdit", QStringLiteral("Редактировать шрифт"), &frmGCode::mnuFontEdit_Click);
    nmuOpen = item("nmuOpen", QStringLiteral("Просмотр шрифта"), &frmGCode::nmuOpen_Click);
    mnuOpenCode =
        item("mnuOpenCode", QStringLiteral("Открыть .tap/.gcode"), &frmGCode::mnuOpenCode_Click);
    mnuOpenOtherCode = item("mnuOpenOtherCode", QStringLiteral("Открыть G-code другой программы…"),
                            &frmGCode::mnuOpenOtherCode_Click);
    mnuParam = item("mnuParam", QStringLiteral("Свойства нового кода"), &frmGCode::mnuParam_Click);

    mnuLine2 = mnuF->addSeparator();
    mnuLine2->setObjectName("mnuLine2");
    mnuCloseAction = item("mnuClose", QStringLiteral("Выход"), &frmGCode::mnuClose_Click);

    // The G-code save is a button; its key works from anywhere in the window.
    saveGCodeAction = new QAction(QStringLiteral("Сохранить G-code"), this);
    saveGCodeAction->setObjectName("saveGCodeAction");
    addAction(saveGCodeAction);
    connect(saveGCodeAction, &QAction::triggered, this, [this] {
        if (cmdSaveGCODE->isEnabled()) cmdSaveGCODE_Click();
    });

    const std::pair<QAction*, QKeySequence> keys[] = {
        {mnuNewProject, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {mnuOpenProject, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {mnuReloadProject, QKeySequence(Qt::Key_F5)},
        {mnuSaveProject, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {mnuSaveProjectAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {mnuFontEdit, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {nmuOpen, QKeySequence(Qt::CTRL | Qt::Key_F)},
        {mnuOpenCode, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
        {mnuOpenOtherCode, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O)},
        {mnuParam, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {mnuCloseAction, QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {saveGCodeAction, QKeySequence(Qt::CTRL | Qt::Key_G)},
    };
    for (const auto& [action, key] : keys) action->setShortcut(key);

    mnuHelpAction = menuBar()->addAction(QStringLiteral("O ..."));
    mnuHelpAction->setObjectName("mnuHelp");
    connect(mnuHelpAction, &QAction::triggered, this, [this] { mnuHelp_Click(); });
}

void frmGCode::buildControls() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    const auto button = [this](const char* name, QStyle::StandardPixmap icon, const QString& tip,
                               void (frmGCode::*handler)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(28, 28));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };
    cmdReloadProject =
        button("cmdReloadProject", QStyle::SP_BrowserReload, QStringLiteral("Перегрузить проект"),
               &frmGCode::cmdReloadProject_Click);
    cmdPaint =
        button("cmdPaint", QStyle::SP_FileDialogContentsView,
               QStringLiteral("Отрисовать загруженный проект/gcode"), &frmGCode::cmdPaint_Click);
    cmdSaveGCODE = button("cmdSaveGCODE", QStyle::SP_DialogSaveButton, QStringLiteral("Сохранить"),
                          &frmGCode::cmdSaveGCODE_Click);
    cmdClose = button("cmdClose", QStyle::SP_DialogCloseButton, QStringLiteral("Закрыть окно"),
                      &frmGCode::cmdClose_Click);
    cmdReloadProject->setEnabled(false);
    cmdPaint->setEnabled(false);
    cmdSaveGCODE->setEnabled(false);

    cboShrift = new QComboBox(this);
    cboShrift->setObjectName("cboShrift");
    cboShrift->setMinimumContentsLength(18);
    cboShrift->setToolTip(QStringLiteral("Шрифт"));
    cboMash = new QComboBox(this);
    cboMash->setObjectName("cboMash");
    cboMash->setToolTip(QStringLiteral("Масштаб изображения"));
    for (const char* scale : {"25", "50", "75", "100", "125", "150", "175", "200"})
        cboMash->addItem(QString::fromLatin1(scale));

    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdReloadProject);
    bar->addWidget(cmdPaint);
    bar->addWidget(cmdSaveGCODE);
    cmdBatch = new QToolButton(this);
    cmdBatch->setObjectName("cmdBatch");
    cmdBatch->setText(QStringLiteral("Пакет…"));
    cmdBatch->setToolTip(QStringLiteral("Пластины по таблице или по ряду номеров"));
    connect(cmdBatch, &QToolButton::clicked, this, [this] { cmdBatch_Click(); });
    bar->addWidget(cmdBatch);
#ifdef VEZOR_MACHINE
    // The sender's window: a button and its key, beside the batch.
    cmdMachine = new QToolButton(this);
    cmdMachine->setObjectName("cmdMachine");
    cmdMachine->setText(QStringLiteral("Станок…"));
    cmdMachine->setToolTip(QStringLiteral("Отправить программу на станок GRBL (Ctrl+M)"));
    connect(cmdMachine, &QToolButton::clicked, this, [this] { cmdMachine_Click(); });
    bar->addWidget(cmdMachine);
    auto* machineKey = new QAction(this);
    machineKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    addAction(machineKey);
    connect(machineKey, &QAction::triggered, this, [this] { cmdMachine_Click(); });
#endif
    bar->addSpacing(12);
    bar->addWidget(cboShrift);
    bar->addWidget(cboMash);
    buildViewControls();
    bar->addWidget(cmdFit);
    bar->addWidget(cmdShowAll);
    bar->addWidget(cmdMeasure);
    bar->addStretch(1);
    bar->addWidget(cmdClose);
    outer->addLayout(bar);

    pic = new PreviewSurface(this);
    pic->setObjectName("pic");
    connect(pic, &PreviewSurface::cursorMoved, this,
            [this](double x, double y) { showCursor(x, y); });
    connect(pic, &PreviewSurface::cursorLeft, this, [this] { lblCursor->clear(); });
    connect(pic, &PreviewSurface::recordClicked, this,
            [this](std::size_t record) { selectListLine(record); });
    connect(pic, &PreviewSurface::measureChanged, this, [this] { showMeasure(); });
    connect(pic, &PreviewSurface::zoomChanged, this, [this] { showZoom(); });

    spsModel = new PenPointsListModel(this);
    sps = new QListView(this);
    sps->setObjectName("sps");
    sps->setToolTip(QStringLiteral("VEzor"));
    sps->setUniformItemSizes(true);
    sps->setModel(spsModel);
    sps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(sps, &QListView::doubleClicked, this, [this] { sps_DblClick(); });
    connect(sps->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showSelectedMove(); });

    txtPaint = new QPlainTextEdit(this);
    txtPaint->setObjectName("txtPaint");
    txtPaint->setLineWrapMode(QPlainTextEdit::NoWrap);

    for (int i = 0; i < 2; ++i) {
        lbl2[i] = new QLabel(i == 0 ? QStringLiteral("Строка2") : QStringLiteral("Строка1"), this);
        lbl2[i]->setObjectName(QStringLiteral("lbl2_%1").arg(i));
    }

    auto* listColumn = new QWidget(this);
    auto* listLayout = new QVBoxLayout(listColumn);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(lbl2[1]);
    listLayout->addWidget(sps, 3);
    listLayout->addWidget(lbl2[0]);
    listLayout->addWidget(buildEditControls());
    listLayout->addWidget(txtPaint, 2);

    // Neither side can be dragged out of sight, and the list and the text
    // keep room for a few lines of moves and of the project.
    const QFontMetrics metrics(font());
    const int columnWidth = metrics.horizontalAdvance(QStringLiteral("G1X100.25Y-100.25")) + 40;
    sps->setMinimumSize(columnWidth, metrics.lineSpacing() * 6);
    txtPaint->setMinimumSize(columnWidth, metrics.lineSpacing() * 5);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName("split");
    split->setChildrenCollapsible(false);
    split->addWidget(pic);
    split->addWidget(listColumn);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    outer->addWidget(split, 1);
    setCentralWidget(central);
}

void frmGCode::Form_Load() {
    cboShrift->clear();
    for (const auto& font : FontList()) cboShrift->addItem(pathToQ(font));
    if (cboShrift->count() > 0) cboShrift->setCurrentIndex(0);
    cboMash->setCurrentIndex(3);
}

void frmGCode::cmdClose_Click() {
    if (!unsavedChangesHandled() || !machineReleased()) return;
    QApplication::closeAllWindows();
    QApplication::quit();
}

void frmGCode::closeEvent(QCloseEvent* event) {
    if (!unsavedChangesHandled() || !machineReleased()) {
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}

bool frmGCode::checkFont() {
    session_.CurrentFont() =
        cboShrift->currentIndex() >= 0 ? pathFromQ(cboShrift->currentText()) : "";
    if (!session_.CurrentFont().empty()) return true;
    dialogs().message(cp("Создайте папку расположения шрифта в папке FONT"), windowCaption());
    return false;
}

void frmGCode::sps_DblClick() {
    const int position = sps->currentIndex().isValid() ? sps->currentIndex().row() : -1;
    DrawLimit = position < 1 ? 3000 : position;
    cmdPaint_Click();
}
