#pragma once
// The program's interface font: a sans-serif of the classic dialog metrics (Liberation Sans,
// metric-compatible with the common Windows sans-serif) at 11 pixels, so that the fixed window
// sizes hold their texts; the platform's default sans-serif when it is missing.

#include <QFont>

namespace vantora {

QFont ProgramFont(int pixelSize = 11);

}  // namespace vantora
