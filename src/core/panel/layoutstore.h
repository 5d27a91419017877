#pragma once
// The layout file's owner: where it is read and written, and whether it could
// be read at load, which decides whether a save may replace it. The windows
// get and give plain values; each applies what concerns it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/portsettings.h"
#include "platform/chartsettings.h"
#include "panel/layoutmodel.h"
#include "platform/paths.h"

// What the layout file holds for the panel and the capture window.
struct LayoutValues {
  PanelTexts cells;
  ChartSettings chart;
};

class LayoutStore : public NetPortHistory {
 public:
  explicit LayoutStore(LayoutFiles files) : files_(std::move(files)) {}

  // The rate the port is configured with, or the default.
  std::uint32_t BaudRate() const;

  // Reads the cells and the chart settings, the defaults where keys are
  // missing. A file that exists but cannot be read gives the defaults and is
  // named by UnreadAtLoad from then on.
  LayoutValues Load();

  // The file the last Load could not read; empty when it read.
  const std::string& UnreadAtLoad() const { return unreadAtLoad_; }

  // Writes the values back, creating the file's folder when it is missing (a
  // user's first save). Until the user's own file exists the save starts from
  // the shipped defaults, so that what the windows do not hold, the baud
  // rate, carries over. A file that could not be read at load is never
  // replaced, even once it reads again: the save throws WriteError instead.
  void Save(const LayoutValues& values) const;

  // The network ports the user confirmed, most recent first. A new one is
  // written at once, by the rules of Save, so that it is kept whether or not
  // the layout is saved later; the file is not touched when the list stays
  // as it was.
  std::vector<std::string> NetPorts() const override;
  void RememberNetPort(const std::string& name) const override;

 private:
  std::string SaveBase() const;
  void Rewrite(const std::function<void(ProfileFile&)>& change) const;

  LayoutFiles files_;
  std::string unreadAtLoad_;
};
