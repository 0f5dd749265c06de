#include "main/FontListChanges.h"

FontListChanges& fontListChanges() {
    static FontListChanges changes;
    return changes;
}
