#pragma once

#include <QString>

#include "resources/string_table.h"

namespace vantrell {

// A string-table text for the window layer.
inline QString QtText(int id) {
  const std::string_view text = StringText(id);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace vantrell
