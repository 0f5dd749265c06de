#pragma once

#include <string>

#include "TestSupport.h"

// The new-project template as the golden programs were made from it, its tag
// at X 100. The template now puts the tag at the 50 mm its words name; the
// golden files keep this text, so that they go on checking the whole road,
// byte for byte, against the programs they have always held.
inline std::string goldenTemplateText() {
    return w(
        "4.97//Интервал по строкам в мм\r\n"
        "100//Максимальная ширина поля мм для отрисовки границы (синяя линия)\r\n"
        "4.4//Высота шрифта в мм\r\n"
        "0.75//Изменение ширины шрифта 0.5 (50%)\r\n"
        "Текст после тэга будет на расстоянии 50мм\r\n"
        "\r\n"
        "от левого края<@XXX=100>Этот текст на 50мм\r\n"
        "Пустая строка пропускается\r\n");
}
