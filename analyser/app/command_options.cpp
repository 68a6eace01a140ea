#include "command_options.h"

#include <cstdlib>

namespace tonewarden {

namespace {

bool ToInt(const std::string& text, int& value) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < -1'000'000 || v > 1'000'000) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

std::string CommandOptions::Parse(const std::vector<std::string>& args, CommandOptions& o) {
  if (args.empty()) return "missing command";
  o.command = args[0];
  if (o.command != "render" && o.command != "spectrum") return "unknown command '" + o.command + "'";
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    auto value = [&]() -> const std::string& { return args[++i]; };
    if (a == "--at" || a == "--fft" || a == "--window" || a == "--range" || a == "--size" || a == "-o") {
      if (!hasValue) return "option " + a + " needs a value";
    }
    if (a == "--at") {
      const std::string& v = value();
      char* end = nullptr;
      o.at = std::strtod(v.c_str(), &end);
      if (v.empty() || *end != '\0' || !(o.at >= 0) || o.at > 1e7) return "--at wants seconds from 0 on, not '" + v + "'";
    } else if (a == "--fft") {
      const std::string& v = value();
      if (!ToInt(v, o.fft) || (o.fft != 4096 && o.fft != 8192 && o.fft != 16384 && o.fft != 32768)) {
        return "--fft wants 4096, 8192, 16384 or 32768, not '" + v + "'";
      }
    } else if (a == "--window") {
      const std::string& v = value();
      const std::vector<std::string> names = {"hanning", "hamming", "blackman", "rectangular"};
      o.window = -1;
      for (std::size_t w = 0; w < names.size(); ++w) {
        if (v == names[w]) o.window = static_cast<int>(w);
      }
      if (o.window < 0) return "--window wants hanning, hamming, blackman or rectangular, not '" + v + "'";
    } else if (a == "--range") {
      const std::string& v = value();
      if (!ToInt(v, o.range) || (o.range != 140 && o.range != 120 && o.range != 100 && o.range != 80)) {
        return "--range wants 140, 120, 100 or 80, not '" + v + "'";
      }
    } else if (a == "--size" && o.command == "render") {
      const std::string& v = value();
      const auto x = v.find('x');
      if (x == std::string::npos || !ToInt(v.substr(0, x), o.width) || !ToInt(v.substr(x + 1), o.height) ||
          o.width < 16 || o.height < 32 || o.width > 8192 || o.height > 8192) {
        return "--size wants WIDTHxHEIGHT between 16x32 and 8192x8192, not '" + v + "'";
      }
    } else if (a == "-o" && o.command == "render") {
      o.output = value();
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option " + a;
    } else if (o.file.empty()) {
      o.file = a;
    } else {
      return "more than one file given";
    }
  }
  if (o.file.empty()) return "no file given";
  if (o.at < 0) return "--at SECONDS is required";
  if (o.command == "render" && o.output.empty()) return "-o OUT.png is required";
  return {};
}

}  // namespace tonewarden
