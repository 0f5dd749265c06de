#include "fonteditor/ui/frmFontPaint.h"

#include <QAbstractItemView>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <tuple>

#include "font/FontStorage.h"
#include "fonteditor/ui/LetterSurface.h"
#include "fonteditor/ui/frmFontImport.h"
#ifdef VEZOR_OUTLINE
#include "fonteditor/ui/frmOutlineImport.h"
#endif
#include "lib/Dialogs.h"
#include "lib/TextFile.h"
#include "lib/VezorError.h"
#include "lib/ui/QtText.h"
#include "main/Session.h"

namespace {

const char* const kCaption = "Отрисовка шрифта";
const char* const kIdleStatus = "...";
const char* const kMoveStatus = "/используя мышку укажите новое место точки";
const char* const kSaveTitle = "Сохранение буквы";
// Item data of a letter entry: whether the font has the letter's file.
constexpr int kExistsRole = Qt::UserRole + 1;

QIcon paintedIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    draw(painter);
    return QIcon(pixmap);
}

// Mode 0: a frame around the drawing area, nothing placed.
QIcon areaIcon() {
    return paintedIcon([](QPainter& p) {
        p.setPen(QPen(QColor(0, 140, 0), 1.5, Qt::DashLine));
        p.drawRect(QRectF(4, 4, 16, 16));
    });
}

// Mode 1: a stroke of points, one more being placed.
QIcon placeIcon() {
    return paintedIcon([](QPainter& p) {
        p.setPen(QPen(QColor(220, 0, 0), 1.5));
        p.drawLine(QPointF(4, 19), QPointF(10, 6));
        p.drawLine(QPointF(10, 6), QPointF(15, 15));
        p.setBrush(QColor(220, 0, 0));
        for (QPointF c : {QPointF(4, 19), QPointF(10, 6), QPointF(15, 15)}) p.drawEllipse(c, 2, 2);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(QPointF(19, 15), QPointF(19, 23));
        p.drawLine(QPointF(15, 19), QPointF(23, 19));
    });
}

// Mode 2: the selected point moves.
QIcon moveIcon() {
    return paintedIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(12, 2), QPointF(12, 22));
        p.drawLine(QPointF(2, 12), QPointF(22, 12));
        QPainterPath heads;
        for (auto [tip, a, b] : {std::tuple{QPointF(12, 1), QPointF(9, 5), QPointF(15, 5)},
                                 std::tuple{QPointF(12, 23), QPointF(9, 19), QPointF(15, 19)},
                                 std::tuple{QPointF(1, 12), QPointF(5, 9), QPointF(5, 15)},
                                 std::tuple{QPointF(23, 12), QPointF(19, 9), QPointF(19, 15)}}) {
            heads.moveTo(tip);
            heads.lineTo(a);
            heads.lineTo(b);
            heads.closeSubpath();
        }
        p.fillPath(heads, Qt::black);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 200, 0));
        p.drawEllipse(QPointF(12, 12), 4, 4);
    });
}

// Holds the drawing surface as the largest square that fits, with the axis
// captions along its top and left edges.
class SquareFrame final : public QWidget {
  public:
    SquareFrame(LetterSurface* surface, QWidget* parent) : QWidget(parent), surface_(surface) {
        surface_->setParent(this);
        setMinimumSize(surface_->minimumSize() + QSize(kMargin, kMargin));
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        const int side = std::max(1, std::min(width(), height()) - kMargin);
        surface_->setGeometry(kMargin, kMargin, side, side);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        const QRect square = surface_->geometry();
        p.drawText(QRect(square.left(), 0, kMargin, kMargin), Qt::AlignCenter, QStringLiteral("X"));
        p.drawLine(square.left() + kMargin, kMargin / 2, square.right(), kMargin / 2);
        p.drawText(QRect(0, square.top(), kMargin, kMargin), Qt::AlignCenter, QStringLiteral("Y"));
        p.drawLine(kMargin / 2, square.top() + kMargin, kMargin / 2, square.bottom());
    }

  private:
    static constexpr int kMargin = 18;
    LetterSurface* surface_;
};

std::string characterOf(int code) {
    return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}

}  // namespace

frmFontPaint::frmFontPaint(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("frmFontPaint");
    setWindowTitle(QString::fromUtf8(kCaption));
    setModal(true);
    buildMenus();
    buildControls();
    buildSample();
    resize(820, 640);
    Form_Load();
}

frmFontPaint::~frmFontPaint() = default;

void frmFontPaint::buildMenus() {
    menuBar = new QMenuBar(this);
    menuBar->setObjectName("menuBar");
    mnuFail = menuBar->addMenu(QStringLiteral("Файл"));
    mnuFail->setObjectName("mnuFail");
    mnuLiterAs = mnuFail->addAction(QStringLiteral("Сохранить букву как ..."));
    mnuLiterAs->setObjectName("mnuLiterAs");
    connect(mnuLiterAs, &QAction::triggered, this, [this] { mnuLiterAs_Click(); });
    mnuRazriv = mnuFail->addAction(QStringLiteral("Разрыв после точки"));
    mnuRazriv->setObjectName("mnuRazriv");
    connect(mnuRazriv, &QAction::triggered, this, [this] { mnuRazriv_Click(); });
    mnuImport = mnuFail->addAction(QStringLiteral("Импорт шрифта…"));
    mnuImport->setObjectName("mnuImport");
    connect(mnuImport, &QAction::triggered, this, [this] { mnuImport_Click(); });
#ifdef VEZOR_OUTLINE
    mnuImportInstalled = mnuFail->addAction(QStringLiteral("Импорт шрифта компьютера…"));
    mnuImportInstalled->setObjectName("mnuImportInstalled");
    connect(mnuImportInstalled, &QAction::triggered, this, [this] { mnuImportInstalled_Click(); });
#endif
    mnuFail->addSeparator()->setObjectName("mnuLine");
    mnuExit = mnuFail->addAction(QStringLiteral("Выход"));
    mnuExit->setObjectName("mnuExit");
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    buildEditMenu();
    // The last top-level item serves as the status line.
    mnuInf = menuBar->addAction(QString::fromUtf8(kIdleStatus));
    mnuInf->setObjectName("mnuInf");
}

void frmFontPaint::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setMenuBar(menuBar);

    const auto button = [this](const char* name, const QIcon& icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(icon);
        b->setIconSize(QSize(24, 24));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };

    cmdClose = button("cmdClose", style()->standardIcon(QStyle::SP_DialogCloseButton),
                      QStringLiteral("Закрыть окно"));
    connect(cmdClose, &QToolButton::clicked, this, [this] { cmdClose_Click(); });
    cboLiter = new QComboBox(this);
    cboLiter->setObjectName("cboLiter");
    cboLiter->setEditable(false);
    cboLiter->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    cboLiter->setMinimumContentsLength(12);
    cboLiter->setMaxVisibleItems(24);
    connect(cboLiter, &QComboBox::currentIndexChanged, this, [this] { cboLiter_Click(); });
    cboLiter->installEventFilter(this);
    cboLiter->view()->installEventFilter(this);
    auto* top = new QHBoxLayout;
    top->addWidget(cmdClose);
    top->addWidget(cboLiter);
    top->addStretch(1);
    outer->addLayout(top);

    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    const QIcon icons[] = {areaIcon(), placeIcon(), moveIcon()};
    const QString tips[] = {QStringLiteral("Область"), QStringLiteral("Поставить точки"),
                            QStringLiteral("Изменить выделенную точку")};
    auto* tools = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        optReg[i] =
            button(QStringLiteral("optReg_%1").arg(i).toLatin1().constData(), icons[i], tips[i]);
        optReg[i]->setProperty("index", i);
        optReg[i]->setCheckable(true);
        group->addButton(optReg[i], i);
        connect(optReg[i], &QToolButton::clicked, this, [this, i] { optReg_Click(i); });
        tools->addWidget(optReg[i]);
    }
    optReg[0]->setChecked(true);
    optReg[2]->setEnabled(false);
    tools->addSpacing(16);
    cmdDelTema = button("cmdDelTema", style()->standardIcon(QStyle::SP_TrashIcon),
                        QStringLiteral("Удалить контур"));
    connect(cmdDelTema, &QToolButton::clicked, this, [this] { cmdDelTema_Click(); });
    cmdSavePoint = button("cmdSavePoint", style()->standardIcon(QStyle::SP_DialogSaveButton),
                          QStringLiteral("Сохранить букву"));
    connect(cmdSavePoint, &QToolButton::clicked, this, [this] { cmdSavePoint_Click(); });
    tools->addWidget(cmdDelTema);
    tools->addWidget(cmdSavePoint);
    tools->addSpacing(16);
    tools->addLayout(buildViewControls());
    tools->addStretch(1);
    outer->addLayout(tools);

    spsPoint = new QListWidget(this);
    spsPoint->setObjectName("spsPoint");
    spsPoint->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Rows of one height spare the list measuring every row of a large letter.
    spsPoint->setUniformItemSizes(true);
    spsPoint->setFixedWidth(150);
    spsPoint->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Only a selection counts: the list makes its first row current by itself
    // whenever it takes the focus back.
    connect(spsPoint, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedRow() >= 0) spsPoint_Click();
    });
    connect(spsPoint, &QListWidget::itemClicked, this, [this] { spsPoint_Click(); });

    picMask = new LetterSurface(this);
    picMask->setObjectName("picMask");
    connect(picMask, &LetterSurface::mousePressed, this, &frmFontPaint::picMask_MouseDown);
    connect(picMask, &LetterSurface::mouseMoved, this, &frmFontPaint::picMask_MouseMove);
    connect(picMask, &LetterSurface::mouseReleased, this, &frmFontPaint::picMask_MouseUp);
    connect(picMask, &LetterSurface::mouseDoubleClicked, this, &frmFontPaint::picMask_DblClick);
    connect(picMask, &LetterSurface::keyReleased, this, &frmFontPaint::picMask_KeyUp);

    auto* work = new QHBoxLayout;
    work->addWidget(spsPoint);
    work->addWidget(new SquareFrame(picMask, this), 1);
    outer->addLayout(work, 1);
}

// --- Window events --------------------------------------------------------

void frmFontPaint::Form_Load() {
    setWindowTitle(QString::fromUtf8(kCaption) + " [" + pathToQ(session_.CurrentFont()) + "]");
    letter_ = {};
    showPoints();
    DrawGuides();
    FillLetterList();
    LoadLetter();
}

void frmFontPaint::mnuImport_Click() {
    int letter = -1;
    const std::string imported = ImportFont(session_.fileChoice(), this, &letter);
    showImported(imported, letter);
}

void frmFontPaint::mnuImportInstalled_Click() {
#ifdef VEZOR_OUTLINE
    const auto font = ChooseInstalledFont(this);
    if (!font) return;
    const OutlineImportResult imported = ImportOutlineFont(font->file, font->face, this);
    showImported(imported.font, imported.letterToOpen);
#endif
}

void frmFontPaint::showImported(const std::string& font, int letter) {
    if (font.empty()) return;
    // A letter asked for from the report opens in the new font; a font that
    // replaces the one open here is shown afresh.
    if (letter >= 0) {
        if (!mayDiscardEdits()) return;
        session_.CurrentFont() = font;
        letter_ = {};
        Form_Load();
        openLetter(letter);
    } else if (font == session_.CurrentFont()) {
        Form_Load();
    }
}

void frmFontPaint::cboLiter_Click() {
    if (cboLiter->currentIndex() != shownLetter_ && !mayDiscardEdits()) {
        const QSignalBlocker quiet(cboLiter);
        cboLiter->setCurrentIndex(shownLetter_);
        return;
    }
    LoadLetter();
}

void frmFontPaint::spsPoint_Click() {
    const int row = selectedRow();
    if (row < 0 || static_cast<std::size_t>(row) >= letter_.points.size()) return;
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : spsPoint->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    const int current = spsPoint->currentRow();
    letteredit::select(letter_, std::move(rows),
                       current >= 0 ? std::optional(static_cast<std::size_t>(current))
                                    : std::optional(static_cast<std::size_t>(row)));
    DrawGuides();
    RedrawLetter();
    double x = 0;
    double y = 0;
    ParsePointLine(letter_.points[*letter_.selected], x, y);
    picMask->setHighlight(letteredit::Point{static_cast<float>(x), static_cast<float>(y)});
    optReg[2]->setEnabled(true);
    showSelection();
}

void frmFontPaint::optReg_Click(int index) {
    mode_ = static_cast<letteredit::Mode>(index);
    gesture_ = Gesture::None;
    letteredit::selectOnly(letter_, std::nullopt);
    showPoints();
    showSelection();
    // With the selection gone, a green mark would point at nothing.
    picMask->setHighlight(std::nullopt);
    setStatus(modeStatus());
}

void frmFontPaint::selectMode(int index) {
    if (index < 0 || index > 2 || !optReg[index]->isEnabled()) return;
    optReg[index]->setChecked(true);
    optReg_Click(index);
}

void frmFontPaint::cmdDelTema_Click() {
    if (letter_.selection.empty()) return;
    const std::string question = letter_.selection.size() == 1
                                     ? cp("Вы хотите удалить точку?")
                                     : cp("Вы хотите удалить выделенные точки (") +
                                           std::to_string(letter_.selection.size()) + cp(")?");
    if (!dialogs().question(question, cp("Удаление точки"))) return;
    const letteredit::Letter before = letter_;
    letteredit::removeSelection(letter_);
    recordEdit(before);
}

void frmFontPaint::mnuRazriv_Click() {
    const letteredit::Letter before = letter_;
    if (!letteredit::insertBreakAfterSelected(letter_)) return;
    recordEdit(before);
}

void frmFontPaint::cmdSavePoint_Click() {
    int code = 0;
    if (cboLiter->currentIndex() >= 0) {
        code = cboLiter->currentData().toInt();
    } else {
        const std::string answer = askLetter(cp("Введите ту букву, которую вы нарисовали"));
        if (answer.empty()) return;
        code = codeOfAnswer(answer);
    }
    SaveLetter(code);
}

void frmFontPaint::mnuLiterAs_Click() {
    const int remembered = cboLiter->currentIndex();
    const std::string answer = askLetter(cp("Введите новую букву для сохранения ..."));
    if (answer.empty()) return;
    const int code = codeOfAnswer(answer);
    // Any file of that name counts, even one that cannot be read: it is about
    // to be replaced.
    if (textfile::isFile(LetterFilePath(session_.CurrentFont(), code)) &&
        !dialogs().question(cp("Буква '") + answer + cp("' есть. Сохранить?"), caption(),
                            Dialogs::Answer::No))
        return;
    if (!SaveLetter(code)) return;
    DrawGuides();
    FillLetterList();
    LoadLetter();
    if (remembered >= 0 && remembered < cboLiter->count()) selectLetter(remembered);
}

void frmFontPaint::cmdClose_Click() { reject(); }

void frmFontPaint::reject() {
    if (mayDiscardEdits()) QDialog::reject();
}

// --- The window's own procedures ------------------------------------------

void frmFontPaint::LoadLetter() {
    if (cboLiter->currentIndex() < 0) return;
    letter_ = {};
    undo_.clear();
    gesture_ = Gesture::None;
    const int code = cboLiter->currentData().toInt();
    std::string problem;
    if (!cboLiter->currentData(kExistsRole).toBool()) {
        problem = cp("/новая буква '") + characterOf(code) + "'";
    } else
        try {
            letter_.points = ReadLetterLines(LetterFilePath(session_.CurrentFont(), code));
            const auto lineText = [&](std::size_t line) {
                return cp("/в строке ") + std::to_string(line + 1) + cp(" буквы '") +
                       characterOf(code) + "'";
            };
            // A shift would write such a coordinate out in hundreds of digits.
            if (const auto line = letteredit::firstPointOutOfRange(letter_.points)) {
                letter_.points.clear();
                problem = lineText(*line) + cp(" число за пределами ±10000: буква не открыта");
            } else if (const auto line = letteredit::firstLineWithoutComma(letter_.points)) {
                problem = lineText(*line) + cp(" нет запятой");
            }
        } catch (const VezorError&) {
            problem = cp("/букву '") + characterOf(code) + cp("' прочитать не удалось");
        }
    savedPoints_ = letter_.points;
    shownLetter_ = cboLiter->currentIndex();
    resetPointMarks();
    showPoints();
    RedrawLetter();
    showEdited();
    if (!problem.empty()) {
        setStatus(problem);
        statusShowsProblem_ = true;
    } else if (statusShowsProblem_) {
        setStatus(modeStatus());
    }
}

bool frmFontPaint::SaveLetter(int code) {
    try {
        WriteLetterFile(LetterFilePath(session_.CurrentFont(), code), letter_.points);
    } catch (const VezorError& e) {
        dialogs().message(e.message(), caption(), Dialogs::Icon::Error);
        return false;
    }
    if (shownLetter_ < 0 || code == cboLiter->itemData(shownLetter_).toInt())
        savedPoints_ = letter_.points;
    if (const int entry = cboLiter->findData(code); entry >= 0) markExisting(entry, true);
    setStatus(cp("/буква '") + characterOf(code) + cp("' сохранена"));
    emit letterSaved(code);
    return true;
}

void frmFontPaint::FillLetterList() {
    int first = -1;
    {
        const QSignalBlocker quiet(cboLiter);
        cboLiter->clear();
        for (const auto& entry :
             letteredit::letterEntries(ListFontLetters(session_.CurrentFont()))) {
            cboLiter->addItem(toQ(entry.text), entry.code);
            markExisting(cboLiter->count() - 1, entry.exists);
            if (entry.exists && first < 0) first = cboLiter->count() - 1;
        }
    }
    // In a font without letters nothing is chosen, so the first save asks for the character.
    selectLetter(first);
}

void frmFontPaint::RedrawLetter() {
    updateSample();
    DrawGuides();
    if (letter_.points.empty()) return;
    picMask->setStroke(letter_.points);
}

void frmFontPaint::DrawGuides() { picMask->clearLetter(); }

void frmFontPaint::showPoints() {
    const QSignalBlocker quiet(spsPoint);
    const QSignalBlocker quietSelection(spsPoint->selectionModel());
    // Rows are rewritten in place, so a drag in a large letter does not rebuild the list.
    const int count = static_cast<int>(letter_.points.size());
    while (spsPoint->count() > count) delete spsPoint->takeItem(spsPoint->count() - 1);
    for (int i = 0; i < count; ++i) {
        const QString text =
            toQ(letteredit::pointListText(letter_.points, static_cast<std::size_t>(i)));
        if (i < spsPoint->count()) {
            if (spsPoint->item(i)->text() != text) spsPoint->item(i)->setText(text);
        } else {
            spsPoint->addItem(text);
        }
    }
    spsPoint->clearSelection();
    spsPoint->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    if (letter_.selected && *letter_.selected < letter_.points.size())
        spsPoint->setCurrentRow(static_cast<int>(*letter_.selected));
    if (letter_.selection.size() > 1) {
        // One range per run of neighbouring rows keeps a large selection quick.
        QItemSelection rows;
        const auto& chosen = letter_.selection;
        const auto row = [this](std::size_t i) {
            return spsPoint->model()->index(static_cast<int>(i), 0);
        };
        for (std::size_t k = 0; k < chosen.size();) {
            std::size_t end = k;
            while (end + 1 < chosen.size() && chosen[end + 1] == chosen[end] + 1) ++end;
            if (chosen[end] < letter_.points.size()) rows.select(row(chosen[k]), row(chosen[end]));
            k = end + 1;
        }
        spsPoint->selectionModel()->select(rows, QItemSelectionModel::Select);
    }
}

void frmFontPaint::selectLetter(int position) {
    {
        const QSignalBlocker quiet(cboLiter);
        cboLiter->setCurrentIndex(position);
    }
    LoadLetter();
}

bool frmFontPaint::mayDiscardEdits() {
    if (letter_.points == savedPoints_) return true;
    const std::string question =
        shownLetter_ >= 0
            ? cp("Изменения буквы '") + characterOf(cboLiter->itemData(shownLetter_).toInt()) +
                  cp("' не сохранены. Закрыть её без сохранения?")
            : cp("Нарисованная буква не сохранена. Закрыть её без сохранения?");
    return dialogs().question(question, caption(), Dialogs::Answer::No);
}

void frmFontPaint::markExisting(int entry, bool exists) {
    cboLiter->setItemData(entry, exists, kExistsRole);
    cboLiter->setItemData(entry, exists ? QVariant() : QVariant(QColor(Qt::gray)),
                          Qt::ForegroundRole);
}

bool frmFontPaint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == txtX || watched == txtY)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            txtXY_Enter();
            return true;
        }
    }
    // Typing a character in the letter list goes to that letter.
    if (event->type() == QEvent::KeyPress && (watched == cboLiter || watched == cboLiter->view())) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const auto code = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier) ||
                                  text.isEmpty() || !text.front().isPrint()
                              ? std::nullopt
                              : letteredit::letterCodeOfAnswer(text.toStdString());
        if (const int entry = code ? cboLiter->findData(*code) : -1; entry >= 0) {
            if (watched == cboLiter->view())
                cboLiter->view()->setCurrentIndex(cboLiter->model()->index(entry, 0));
            else
                cboLiter->setCurrentIndex(entry);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int frmFontPaint::selectedRow() const {
    const auto rows = spsPoint->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

std::string frmFontPaint::askLetter(const std::string& prompt) {
    const std::string answer = dialogs().inputUtf8(prompt, cp(kSaveTitle), "");
    if (answer.empty()) return {};
    if (!letteredit::letterCodeOfAnswer(answer)) {
        dialogs().message(cp("Этого символа нет в кодировке Windows-1251: буква не сохранена"),
                          caption(), Dialogs::Icon::Error);
        return {};
    }
    return win1251::fromUtf8(answer);
}

QString frmFontPaint::status() const {
    QString text = mnuInf->text();
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

void frmFontPaint::setStatus(const std::string& text) {
    statusShowsProblem_ = false;
    // A saved '&' must show as itself, not as a shortcut mark.
    mnuInf->setText(toQ(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

std::string frmFontPaint::modeStatus() const {
    return mode_ == letteredit::Mode::MovePoint ? cp(kMoveStatus) : cp(kIdleStatus);
}

std::string frmFontPaint::caption() const { return fromQ(windowTitle()); }

int frmFontPaint::codeOfAnswer(const std::string& answer) {
    return static_cast<unsigned char>(answer.front());
}
