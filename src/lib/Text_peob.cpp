#include "lib/Text_peob.h"

std::string Text_peob::DoRavno(std::string& Stroka) {
    const auto first = Stroka.find_first_not_of(' ');
    if (first == std::string::npos) {
        Stroka.clear();
        return {};
    }
    const auto last = Stroka.find_last_not_of(' ');
    Stroka = Stroka.substr(first, last - first + 1);
    const auto eq = Stroka.find('=');
    return eq == std::string::npos ? Stroka : Stroka.substr(0, eq);
}

std::string Text_peob::PosleRavno(const std::string& Stroka) {
    const auto eq = Stroka.find('=');
    return eq == std::string::npos ? std::string() : Stroka.substr(eq + 1);
}

std::string Text_peob::ZamenaSimvolInStroka(const std::string& Stroka, const std::string& Inp,
                                            const std::string& Ou) {
    if (Inp.size() != 1) return Stroka;
    std::string out;
    out.reserve(Stroka.size());
    for (char c : Stroka) {
        if (c == Inp[0])
            out += Ou;
        else
            out += c;
    }
    return out;
}
