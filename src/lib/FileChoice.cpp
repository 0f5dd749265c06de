#include "lib/FileChoice.h"

FileChoice& fileChoice() {
    static FileChoice choice;
    return choice;
}
