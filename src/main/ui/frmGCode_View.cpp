// The preview's view controls, measuring, and the link between the G-code list
// and the preview.
#include <QComboBox>
#include <QIntValidator>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "lib/NumberText.h"
#include "lib/ui/ElidedLabel.h"
#include "lib/ui/QtText.h"
#include "main/PreviewGeometry.h"
#include "main/Session.h"
#include "main/ui/PenPointsListModel.h"
#include "main/ui/PreviewSurface.h"
#include "main/ui/frmGCode.h"

namespace {

QString number(double value, int decimals) {
    QString text = QString::number(value, 'f', decimals);
    if (text == QStringLiteral("-0.00") || text == QStringLiteral("-0.0")) text.remove(0, 1);
    return text.replace(QLatin1Char('.'), QLatin1Char(numtext::decimalSeparator()));
}

}  // namespace

void frmGCode::buildViewControls() {
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    cmdFit = button("cmdFit", QStringLiteral("Вписать"),
                    QStringLiteral("Показать весь рисунок или всё поле (Home)"));
    cmdShowAll = button("cmdShowAll", QStringLiteral("Весь путь"),
                        QStringLiteral("Показать весь путь после двойного щелчка по строке"));
    cmdMeasure = button("cmdMeasure", QStringLiteral("Измерить"),
                        QStringLiteral("Расстояние и угол между двумя щелчками по рисунку"));
    cmdMeasure->setCheckable(true);
    connect(cmdFit, &QToolButton::clicked, this, [this] { cmdFit_Click(); });
    connect(cmdShowAll, &QToolButton::clicked, this, [this] { cmdShowAll_Click(); });
    connect(cmdMeasure, &QToolButton::clicked, this, [this] { cmdMeasure_Click(); });
    // The scale box shows the zoom of the wheel and the fit as well; a scale
    // typed into it applies on Enter, an entry chosen from the list at once.
    cboMash->setEditable(true);
    cboMash->setInsertPolicy(QComboBox::NoInsert);
    cboMash->lineEdit()->setValidator(new QIntValidator(1, 100000, cboMash));
    connect(cboMash, &QComboBox::currentIndexChanged, this, [this] { cboMash_Change(); });
    connect(cboMash->lineEdit(), &QLineEdit::returnPressed, this, [this] { cboMash_Change(); });

    lblCursor = new QLabel(this);
    lblCursor->setObjectName("lblCursor");
    lblCursor->setMinimumWidth(220);
    lblMeasure = new ElidedLabel(this);
    lblMeasure->setObjectName("lblMeasure");
    statusBar()->addWidget(lblCursor);
    statusBar()->addWidget(lblMeasure, 1);
    lblReading = new ElidedLabel(this);
    lblReading->setObjectName("lblReading");
    statusBar()->addPermanentWidget(lblReading);
}

void frmGCode::cmdFit_Click() { pic->fitAll(); }

void frmGCode::cmdShowAll_Click() {
    DrawLimit = 0;
    cmdPaint_Click();
}

void frmGCode::cmdMeasure_Click() {
    pic->setMeasuring(cmdMeasure->isChecked());
    showMeasure();
}

void frmGCode::cboMash_Change() {
    // A file's bounds are its drawing's own: at any scale it keeps a free edge.
    pic->showScale(session_.viewBounds(), previewScale(fromQ(cboMash->currentText())),
                   DrawMode == DrawingMode::GCodeFile);
}

void frmGCode::showZoom() {
    const QSignalBlocker quiet(cboMash);
    // No entry chosen, so that choosing any of them, "100" too, applies it.
    cboMash->setCurrentIndex(-1);
    // A view far out (a field of a tenth of a millimetre for metre-high letters)
    // is below one percent, which rounds to a «0» that would say nothing is shown.
    const double percent = pic->scalePercent();
    cboMash->setEditText(percent < 0.5 ? QStringLiteral("<1")
                                       : QString::number(std::max(1L, std::lround(percent))));
}

void frmGCode::showCursor(double x, double y) {
    lblCursor->setText(QStringLiteral("X %1 мм   Y %2 мм").arg(number(x, 2), number(y, 2)));
}

void frmGCode::showMeasure() {
    const auto& points = pic->measurePoints();
    if (!cmdMeasure->isChecked()) {
        lblMeasure->clear();
    } else if (points.size() < 2) {
        lblMeasure->setText(points.empty() ? QStringLiteral("Измерение: щёлкните первую точку")
                                           : QStringLiteral("Измерение: щёлкните вторую точку"));
    } else {
        const Measurement m = measure(points[0], points[1]);
        lblMeasure->setText(QStringLiteral("Расстояние %1 мм, угол %2°")
                                .arg(number(m.distance, 2), number(m.angleDegrees, 1)));
    }
}

void frmGCode::showSelectedMove() {
    // A failed read leaves the list on the earlier file: its lines name other records.
    const QModelIndex current = sps->currentIndex();
    const bool sameRecords = spsModel->shown() == session_.penPoints();
    pic->setSelectedRecord(
        sameRecords && current.isValid() ? static_cast<std::size_t>(current.row()) + 1 : 0);
}

void frmGCode::selectListLine(std::size_t record) {
    if (spsModel->shown() != session_.penPoints() || record < 1 ||
        record > static_cast<std::size_t>(spsModel->rowCount()))
        return;
    const QModelIndex index = spsModel->index(static_cast<int>(record - 1));
    sps->setCurrentIndex(index);
    sps->scrollTo(index, QAbstractItemView::PositionAtCenter);
}
