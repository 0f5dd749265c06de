#pragma once

// A small font for layout tests, written into the test's program folder.
#include <string>

#include "TestSupport.h"
#include "lib/ProgramFolder.h"

// Relative path of the test font, as the font list shows it.
inline const char* kTestFont = "font/T";

// Every code from 33 to 255 is a one-point letter at (50, 100) (in millimetres:
// X = LetterHeight / 2 * WidthFactor, Y = LetterHeight, width the same X),
// except:
//   "~" (126)  no letter file;
//   "W" (87)   two points, (20, 100) and (60, 50);
//   "E" (69)   points on the box edges, (0, 50) and (50, 0), then (-10, 50) and (40, 60);
//   "M" (77)   (30, 40), then a line without a comma, then (80, 90);
//   "N" (78)   an empty file.
inline std::string writeTestFont() {
    const std::string folder = joinPath(testProgramFolder(), kTestFont);
    for (int code = 33; code <= 255; ++code) {
        std::string content = "50,100\r\n";
        switch (code) {
            case '~':
                continue;
            case 'W':
                content = "20,100\r\n60,50\r\n";
                break;
            case 'E':
                content = "0,50\r\n50,0\r\n-10,50\r\n40,60\r\n";
                break;
            case 'M':
                content = "30,40\r\n70\r\n80,90\r\n";
                break;
            case 'N':
                content = "";
                break;
            default:
                break;
        }
        writeFile(joinPath(folder, std::to_string(code)), content);
    }
    return folder;
}
