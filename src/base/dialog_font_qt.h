#pragma once
// The small dialog font the fixed-size windows are laid out for: Tahoma where it exists, else a
// narrow sans-serif of the same width, so that every caption fits its place.
#include <QFont>

namespace tolvex {

QFont dialog_font(int pixel_size);

}  // namespace tolvex
