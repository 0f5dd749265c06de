#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>

#include "TestSupport.h"
#include "main/ui/frmAutor.h"

namespace {

TEST(frmAutor, ShowsCaptionPictureAndTextWithAnEmptyFirstLine) {
    EXPECT_EQ(frmAutor::AboutText(),
              w("\r\n'VEzor из текста'\r\n\r\nпозволяет сформировать файл VEzor для CNC станка, "
                "по заданному тексту,\r\n для тех кому лень писать рукой :)"));

    frmAutor about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("О . . . . . "));
    EXPECT_FALSE(about.Risunok1->pixmap().isNull());
    EXPECT_EQ(about.Risunok1->objectName(), QStringLiteral("Рисунок1"));
    const QStringList lines = about.Text1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QString());
    EXPECT_EQ(lines[1], QStringLiteral("'VEzor из текста'"));
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[4], QStringLiteral(" для тех кому лень писать рукой :)"));
    about.show();
    saveScreenshot(&about, "frmAutor");
}

}  // namespace
