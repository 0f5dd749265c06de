#include "gcode/MoveText.h"

#include <cstring>

#include "lib/NumberText.h"

char* WriteMoveText(char* out, double X, double Y, double Z, char separator) {
    if (X != 0 && Y != 0 && Z == 0) {
        std::memcpy(out, "G1X", 3);
        out = movenumber::writeShortest(out + 3, X, separator);
        *out++ = 'Y';
        return movenumber::writeShortest(out, Y, separator);
    }
    if (X == 0 && Y == 0 && Z != 0) {
        std::memcpy(out, "G0Z", 3);
        out += 3;
        // The literal ",00" after a whole height is what the G-code list has
        // always shown; the writer turns it into ".00".
        if (Z != numtext::roundToWholeHalfEven(Z))
            return movenumber::writeTwoDecimals(out, Z, separator);
        out = movenumber::writeShortest(out, Z, separator);
        std::memcpy(out, ",00", 3);
        return out + 3;
    }
    return out;
}

std::string FormatMoveLine(double X, double Y, double Z, char decimalSeparator) {
    char text[kMaxMoveText];
    return std::string(text, WriteMoveText(text, X, Y, Z, decimalSeparator));
}

std::string FormatMoveLine(double X, double Y, double Z) {
    return FormatMoveLine(X, Y, Z, numtext::decimalSeparator());
}
