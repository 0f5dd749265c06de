#include "main/ui/frmAutor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>

#include "lib/MachiningSettings.h"
#include "lib/Win1251.h"
#include "lib/ui/QtText.h"

namespace {

// Two letters as the program draws them: red pen strokes, a green travel move, the blue
// field border.
QPixmap aboutPicture() {
    QPixmap picture(96, 96);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(0, 255, 0), 2, Qt::DashLine));
    painter.drawLine(QPointF(8, 88), QPointF(18, 18));
    QPainterPath stroke;
    stroke.moveTo(18, 18);
    stroke.lineTo(38, 78);
    stroke.lineTo(58, 18);
    stroke.moveTo(84, 18);
    stroke.lineTo(64, 18);
    stroke.lineTo(64, 78);
    stroke.lineTo(84, 78);
    stroke.moveTo(64, 48);
    stroke.lineTo(80, 48);
    painter.setPen(QPen(QColor(255, 0, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(stroke);
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    painter.drawLine(QPointF(91, 4), QPointF(91, 92));
    return picture;
}

}  // namespace

frmAutor::frmAutor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAutor"));
    setWindowTitle(QStringLiteral("О . . . . . "));
    setModal(true);

    Risunok1 = new QLabel(this);
    Risunok1->setObjectName(QStringLiteral("Рисунок1"));
    Risunok1->setPixmap(aboutPicture());
    Risunok1->setAlignment(Qt::AlignTop);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setMinimumSize(520, 120);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Risunok1);
    layout->addWidget(Text1, 1);

    Form_Load();
}

std::string frmAutor::AboutText() {
    std::string text;
    text += "\r\n'" + AppCaption() + "'";
    text += "\r\n";
    text += "\r\n" + cp("позволяет сформировать файл VEzor для CNC станка, по заданному тексту,");
    text += "\r\n" + cp(" для тех кому лень писать рукой :)");
    return text;
}

void frmAutor::Form_Load() {
    // The text box breaks lines at a line feed alone.
    QString shown = toQ(AboutText());
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text1->setPlainText(shown);
}
