#include "ctl/sigmf.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "capture/history.h"

using json = nlohmann::ordered_json;

namespace {

// UTC to the millisecond, as SigMF writes times: "2026-12-09T01:02:03.456Z".
std::string IsoUtc(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto milliseconds = floor<std::chrono::milliseconds>(time);
  const auto day = floor<days>(milliseconds);
  const year_month_day date(day);
  const hh_mm_ss clock(milliseconds - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()),
                static_cast<int>(clock.subseconds().count()));
  return text;
}

}  // namespace

std::string SigmfHead(const SigmfGlobal& global) {
  const json fields{{"core:datatype", "ci16_be"},
                    {"core:sample_rate", global.sampleRate},
                    {"core:version", "1.0.0"},
                    {"core:recorder", "tarnwick-ctl"},
                    {"core:hw", global.hardware}};
  return "{\n  \"global\": " + fields.dump() + ",\n  \"captures\": [";
}

std::string SigmfCapture(std::int64_t index, std::chrono::system_clock::time_point requested) {
  const json capture{{"core:sample_start", index * BlockLength},
                     {"core:datetime", IsoUtc(requested)}};
  return (index == 0 ? "\n    " : ",\n    ") + capture.dump();
}

std::string SigmfTail() { return "\n  ],\n  \"annotations\": []\n}\n"; }
