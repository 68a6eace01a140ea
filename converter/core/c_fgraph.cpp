#include "core/c_fgraph.h"

#include "core/basic.h"
#include "core/media_source.h"

namespace sonatra {

void C_FGraph::Init() { CloseWave(); }

void C_FGraph::SetFileName(const std::string& path) {
  if (!path.empty() && path == name_) return;
  CloseWave();
  if (!FileExists(path)) return;
  MediaSource source;
  if (!source.Open(path)) return;
  name_ = path;
  const long long ms = source.DurationMs();
  length_ = ms > 2147483647LL ? 2147483647 : static_cast<std::int32_t>(ms);
}

void C_FGraph::CloseWave() {
  name_.clear();
  length_ = 0;
}

}  // namespace sonatra
