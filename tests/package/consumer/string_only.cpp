// The string library without the helper.
#include "host/zant_string.h"

int main() {
    const zant_string text = zant_string("%1 of %2").arg(3).arg("four");
    const zant_stringlist items(text, ' ');
    return text == "3 of four" && items.toString('+') == "3+of+four" ? 0 : 1;
}
