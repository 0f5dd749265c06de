// The font editor's editing on the drawing: selecting and dragging points,
// the edit menu with undo and the clipboard, the view and grid controls.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "font/FontStorage.h"
#include "fonteditor/LetterView.h"
#include "fonteditor/ui/LetterSurface.h"
#include "fonteditor/ui/frmFontPaint.h"
#include "lib/Dialogs.h"
#include "lib/NumberText.h"
#include "lib/ui/QtText.h"

namespace {

// How near, in pixels, the mouse must come to a point or a segment to take it.
constexpr double kGrabPixels = 6;
// How far, in pixels, a pressed point must be pulled before it moves.
constexpr double kDragPixels = 3;
// The clipboard form of a letter's points, so that a paste knows them from any text.
const char* const kPointsMime = "application/x-vezor-letter-points";
const double kGridSteps[] = {0.5, 1, 2, 5, 10};

bool holds(const std::vector<std::size_t>& sorted, std::size_t i) {
    return std::binary_search(sorted.begin(), sorted.end(), i);
}

}  // namespace

void frmFontPaint::buildEditMenu() {
    mnuPravka = menuBar->addMenu(QStringLiteral("Правка"));
    mnuPravka->setObjectName("mnuPravka");
    const auto item = [this](const char* name, const QString& text, const QKeySequence& keys,
                             auto handler) {
        QAction* action = mnuPravka->addAction(text);
        action->setObjectName(name);
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    mnuUndo = item("mnuUndo", QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                   [this] { mnuUndo_Click(); });
    mnuRedo = item("mnuRedo", QStringLiteral("Повторить"), QKeySequence(Qt::CTRL | Qt::Key_Y),
                   [this] { mnuRedo_Click(); });
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuPravka->addSeparator();
    mnuCopy = item("mnuCopy", QStringLiteral("Копировать точки"),
                   QKeySequence(Qt::CTRL | Qt::Key_C), [this] { mnuCopy_Click(); });
    mnuPaste = item("mnuPaste", QStringLiteral("Вставить точки"),
                    QKeySequence(Qt::CTRL | Qt::Key_V), [this] { mnuPaste_Click(); });
    mnuDelete = item("mnuDelete", QStringLiteral("Удалить точки"), QKeySequence(Qt::Key_Delete),
                     [this] { cmdDelTema_Click(); });
    mnuSelectAll = item("mnuSelectAll", QStringLiteral("Выделить все точки"),
                        QKeySequence(Qt::CTRL | Qt::Key_A), [this] { mnuSelectAll_Click(); });
    mnuPravka->addSeparator();
    mnuMirrorH = item("mnuMirrorH", QStringLiteral("Отразить слева направо"), {},
                      [this] { mnuMirror_Click(true); });
    mnuMirrorV = item("mnuMirrorV", QStringLiteral("Отразить сверху вниз"), {},
                      [this] { mnuMirror_Click(false); });
    mnuScale =
        item("mnuScale", QStringLiteral("Масштабировать…"), {}, [this] { mnuScale_Click(); });
}

QLayout* frmFontPaint::buildViewControls() {
    auto* row = new QHBoxLayout;
    cmdFit = new QToolButton(this);
    cmdFit->setObjectName("cmdFit");
    cmdFit->setText(QStringLiteral("Вписать"));
    cmdFit->setToolTip(
        QStringLiteral("Показать букву целиком (колесо мыши меняет масштаб, "
                       "средняя кнопка сдвигает)"));
    connect(cmdFit, &QToolButton::clicked, this, [this] { cmdFit_Click(); });
    chkGrid = new QCheckBox(QStringLiteral("Сетка"), this);
    chkGrid->setObjectName("chkGrid");
    cboGrid = new QComboBox(this);
    cboGrid->setObjectName("cboGrid");
    cboGrid->setToolTip(QStringLiteral("Шаг сетки"));
    for (double step : kGridSteps) cboGrid->addItem(toQ(FormatCoordinate(step)), step);
    cboGrid->setCurrentIndex(3);
    chkSnap = new QCheckBox(QStringLiteral("Привязка"), this);
    chkSnap->setObjectName("chkSnap");
    chkSnap->setToolTip(QStringLiteral("Точки ставятся и двигаются по узлам сетки"));
    const auto showGrid = [this] { picMask->setGrid(gridStep()); };
    connect(chkGrid, &QCheckBox::toggled, this, showGrid);
    connect(cboGrid, &QComboBox::currentIndexChanged, this, showGrid);
    row->addWidget(cmdFit);
    row->addWidget(chkGrid);
    row->addWidget(cboGrid);
    row->addWidget(chkSnap);
    row->addSpacing(12);
    for (auto [field, name, axis] :
         {std::tuple{&txtX, "txtX", "X"}, std::tuple{&txtY, "txtY", "Y"}}) {
        *field = new QDoubleSpinBox(this);
        (*field)->setObjectName(name);
        (*field)->setRange(-letteredit::kCoordinateLimit, letteredit::kCoordinateLimit);
        (*field)->setDecimals(2);
        (*field)->setToolTip(
            QStringLiteral("Координата выделенной точки; Enter ставит точку туда"));
        (*field)->setEnabled(false);
        (*field)->installEventFilter(this);
        row->addWidget(new QLabel(QString::fromLatin1(axis), this));
        row->addWidget(*field);
    }
    return row;
}

// --- Mouse and keys on the drawing ------------------------------------------

void frmFontPaint::picMask_MouseDown(Qt::MouseButton button, double x, double y,
                                     Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton) return;
    finishGesture();
    gestureMoved_ = false;
    const letteredit::Letter before = letter_;
    if (mode_ != letteredit::Mode::Area) {
        const letteredit::Point at = snapped(x, y);
        const bool selected = letteredit::click(letter_, mode_, at.x, at.y);
        showPoints();
        if (selected) spsPoint_Click();
        RedrawLetter();
        if (mode_ == letteredit::Mode::MovePoint && letter_.selected) {
            // Holding the button on, the point follows the mouse: one undo step.
            gesture_ = Gesture::Drag;
            gestureBefore_ = before;
            drag_ = {{*letter_.selected}, {at}};
            pressAt_ = grabbed_ = at;
        } else {
            undo_.record(before, letter_);
        }
        showSelection();
        return;
    }
    const auto points = letteredit::parsePoints(letter_.points);
    const auto hit =
        letteredit::pointAt(points, letter_.points, x, y, kGrabPixels * picMask->unitsPerPixel());
    pressAt_ = {x, y};
    if (modifiers & Qt::ControlModifier) {
        if (hit) {
            letteredit::toggle(letter_, *hit);
        } else {
            gesture_ = Gesture::Band;
            bandBase_ = letter_.selection;
        }
    } else if (hit) {
        if (!holds(letter_.selection, *hit))
            letteredit::selectOnly(letter_, *hit);
        else
            letteredit::select(letter_, letter_.selection, *hit);
        gesture_ = Gesture::Drag;
        gestureBefore_ = letter_;
        drag_ = letteredit::startDrag(letter_);
        grabbed_ = points[*hit];
    } else {
        letteredit::selectOnly(letter_, std::nullopt);
        gesture_ = Gesture::Band;
        bandBase_.clear();
    }
    if (letter_.selected) optReg[2]->setEnabled(true);
    showPoints();
    showSelection();
}

void frmFontPaint::picMask_MouseMove(double x, double y) {
    if (gesture_ == Gesture::Drag) {
        // A click that barely moves the mouse leaves the point where it is,
        // grid or no grid.
        if (!gestureMoved_ &&
            std::hypot(x - pressAt_.x, y - pressAt_.y) < kDragPixels * picMask->unitsPerPixel())
            return;
        gestureMoved_ = true;
        const letteredit::Point to =
            snapped(grabbed_.x + x - pressAt_.x, grabbed_.y + y - pressAt_.y);
        letteredit::dragBy(letter_, drag_, to.x - grabbed_.x, to.y - grabbed_.y);
        // Only the moved rows of the list change while the mouse moves.
        for (std::size_t i : drag_.moved)
            if (i < letter_.points.size() && static_cast<int>(i) < spsPoint->count())
                spsPoint->item(static_cast<int>(i))->setText(toQ(letter_.points[i]));
        RedrawLetter();
        showSelection();
    } else if (gesture_ == Gesture::Band) {
        const letteredit::Area area{pressAt_.x, pressAt_.y, x, y};
        picMask->setRubberBand(area);
        auto chosen =
            letteredit::pointsWithin(letteredit::parsePoints(letter_.points), letter_.points, area);
        chosen.insert(chosen.end(), bandBase_.begin(), bandBase_.end());
        letteredit::select(letter_, std::move(chosen));
        showSelection();
    }
}

void frmFontPaint::picMask_MouseUp(Qt::MouseButton button, double x, double y) {
    if (button != Qt::LeftButton) return;
    // The release's own position counts, whether or not a move reported it.
    picMask_MouseMove(x, y);
    finishGesture();
}

void frmFontPaint::picMask_DblClick(Qt::MouseButton button, double x, double y,
                                    Qt::KeyboardModifiers modifiers) {
    // Placing and moving take the second click as one more click, as they always have.
    if (mode_ != letteredit::Mode::Area) return picMask_MouseDown(button, x, y, modifiers);
    if (button != Qt::LeftButton) return;
    finishGesture();
    const double slack = kGrabPixels * picMask->unitsPerPixel();
    if (letteredit::pointAt(letteredit::parsePoints(letter_.points), letter_.points, x, y, slack))
        return;
    const letteredit::Letter before = letter_;
    if (letteredit::insertOnSegment(letter_, x, y, slack)) {
        optReg[2]->setEnabled(true);
        recordEdit(before);
    }
}

void frmFontPaint::picMask_KeyUp(int qtKey, Qt::KeyboardModifiers modifiers) {
    using letteredit::ArrowKey;
    const ArrowKey key = qtKey == Qt::Key_Left    ? ArrowKey::Left
                         : qtKey == Qt::Key_Up    ? ArrowKey::Up
                         : qtKey == Qt::Key_Right ? ArrowKey::Right
                         : qtKey == Qt::Key_Down  ? ArrowKey::Down
                                                  : ArrowKey::Other;
    // Other keys leave the letter alone: releasing Ctrl or Shift after a click
    // must not undo the selection it made.
    if (key == ArrowKey::Other) return;
    finishGesture();
    const letteredit::Offset offset = letteredit::keyOffset(key);
    const double step = modifiers & Qt::ShiftModifier ? 10 : 1;
    const letteredit::Letter before = letter_;
    if (letter_.selection.empty())
        letteredit::shiftAll(letter_, offset.dx * step, offset.dy * step);
    else
        letteredit::moveSelection(letter_, offset.dx * step, offset.dy * step);
    recordEdit(before);
}

void frmFontPaint::finishGesture() {
    const Gesture gesture = gesture_;
    gesture_ = Gesture::None;
    if (gesture == Gesture::Drag) {
        // A click that moved nothing needs no step and no new drawing.
        if (letter_.points != gestureBefore_.points) recordEdit(gestureBefore_);
    } else if (gesture == Gesture::Band) {
        picMask->setRubberBand(std::nullopt);
        if (letter_.selected) optReg[2]->setEnabled(true);
        showPoints();
        showSelection();
    }
}

// --- Edit menu ----------------------------------------------------------------

void frmFontPaint::mnuUndo_Click() {
    finishGesture();
    if (undo_.undo(letter_)) showEdited();
}

void frmFontPaint::mnuRedo_Click() {
    finishGesture();
    if (undo_.redo(letter_)) showEdited();
}

void frmFontPaint::mnuCopy_Click() {
    finishGesture();
    const std::string text = letteredit::copyText(letter_);
    if (text.empty()) return;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kPointsMime), QByteArray::fromStdString(text));
    data->setText(toQ(text));
    QGuiApplication::clipboard()->setMimeData(data);
}

void frmFontPaint::mnuPaste_Click() {
    finishGesture();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return;
    const std::string text = data->hasFormat(QString::fromLatin1(kPointsMime))
                                 ? data->data(QString::fromLatin1(kPointsMime)).toStdString()
                                 : fromQ(data->text());
    const letteredit::Letter before = letter_;
    if (!letteredit::paste(letter_, text)) {
        setStatus(cp("/в буфере обмена нет точек буквы"));
        return;
    }
    optReg[2]->setEnabled(true);
    recordEdit(before);
}

void frmFontPaint::mnuSelectAll_Click() {
    finishGesture();
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < letter_.points.size(); ++i)
        if (!IsStrokeBreak(letter_.points, i)) all.push_back(i);
    letteredit::select(letter_, std::move(all));
    if (letter_.selected) optReg[2]->setEnabled(true);
    showPoints();
    showSelection();
}

void frmFontPaint::mnuMirror_Click(bool horizontal) {
    finishGesture();
    const letteredit::Letter before = letter_;
    if (letteredit::mirrorSelection(letter_, horizontal)) recordEdit(before);
}

void frmFontPaint::mnuScale_Click() {
    finishGesture();
    const std::string answer = dialogs().inputUtf8(
        cp("Во сколько раз изменить размер (например 2 или 0,5)?"), cp("Масштаб"), "1");
    if (answer.empty()) return;
    const std::string trimmed = fromQ(toQ(answer).trimmed());
    const auto factor = numtext::parseMarkedDecimal(trimmed);
    if (!factor || !(*factor > 0) || *factor > 1e6) {
        dialogs().message(cp("Нужно число больше нуля, например 2 или 0,5"), caption(),
                          Dialogs::Icon::Error);
        return;
    }
    const letteredit::Letter before = letter_;
    if (!letteredit::scaleSelection(letter_, *factor)) {
        dialogs().message(cp("Точки вышли бы за пределы ±10000: размер не изменён"), caption(),
                          Dialogs::Icon::Error);
        return;
    }
    recordEdit(before);
}

void frmFontPaint::cmdFit_Click() { picMask->fitView(letteredit::parsePoints(letter_.points)); }

void frmFontPaint::txtXY_Enter() {
    finishGesture();
    if (!letter_.selected || *letter_.selected >= letter_.points.size() ||
        IsStrokeBreak(letter_.points, *letter_.selected))
        return;
    const letteredit::Letter before = letter_;
    letter_.points[*letter_.selected] = letteredit::pointEntry(txtX->value(), txtY->value());
    recordEdit(before);
}

// --- Showing the edits ----------------------------------------------------------

void frmFontPaint::recordEdit(const letteredit::Letter& before) {
    undo_.record(before, letter_);
    showEdited();
}

void frmFontPaint::showEdited() {
    showPoints();
    RedrawLetter();
    showSelection();
}

void frmFontPaint::showSelection() {
    std::vector<letteredit::Point> marks;
    marks.reserve(letter_.selection.size());
    for (std::size_t i : letter_.selection) {
        if (i >= letter_.points.size() || IsStrokeBreak(letter_.points, i)) continue;
        double x = 0;
        double y = 0;
        ParsePointLine(letter_.points[i], x, y);
        marks.push_back({x, y});
    }
    picMask->setSelection(std::move(marks));
    const bool onPoint = letter_.selected && *letter_.selected < letter_.points.size() &&
                         !IsStrokeBreak(letter_.points, *letter_.selected);
    for (QDoubleSpinBox* field : {txtX, txtY}) field->setEnabled(onPoint);
    if (onPoint) {
        double x = 0;
        double y = 0;
        ParsePointLine(letter_.points[*letter_.selected], x, y);
        const QSignalBlocker quietX(txtX);
        const QSignalBlocker quietY(txtY);
        txtX->setValue(x);
        txtY->setValue(y);
    }
    mnuUndo->setEnabled(undo_.canUndo());
    mnuRedo->setEnabled(undo_.canRedo());
}

double frmFontPaint::gridStep() const {
    return chkGrid->isChecked() ? cboGrid->currentData().toDouble() : 0;
}

letteredit::Point frmFontPaint::snapped(double x, double y) const {
    if (!chkSnap->isChecked()) return {x, y};
    const double step = cboGrid->currentData().toDouble();
    return {letteredit::snapToGrid(x, step), letteredit::snapToGrid(y, step)};
}
