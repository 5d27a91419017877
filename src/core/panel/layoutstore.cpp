#include "panel/layoutstore.h"

#include <filesystem>

#include "link/portsettings.h"
#include "platform/errors.h"
#include "platform/profile.h"

std::uint32_t LayoutStore::BaudRate() const { return StoredBaudRate(files_.read); }

LayoutValues LayoutStore::Load() {
  const ProfileFile file(files_.read);
  unreadAtLoad_ = file.Readable() ? "" : file.FileName();
  LayoutValues values;
  for (const PanelCell& cell : AllPanelCells()) values.cells[cell.CellIndex()] = ReadCellTexts(file, cell);
  values.chart = ReadChartSettings(file);
  return values;
}

std::string LayoutStore::SaveBase() const {
  std::error_code error;
  const bool ownExists = std::filesystem::exists(files_.write, error);
  return ownExists || files_.read == unreadAtLoad_ ? files_.write : files_.read;
}

void LayoutStore::Save(const LayoutValues& values) const {
  Rewrite([&](ProfileFile& file) { WriteLayout(file, values.chart, values.cells); });
}

std::vector<std::string> LayoutStore::NetPorts() const {
  return ReadNetPorts(ProfileFile(SaveBase()));
}

void LayoutStore::RememberNetPort(const std::string& name) const {
  const std::vector<std::string> before = NetPorts();
  const std::vector<std::string> after = WithNetPort(before, name);
  if (after != before) Rewrite([&](ProfileFile& file) { WriteNetPorts(file, after); });
}

void LayoutStore::Rewrite(const std::function<void(ProfileFile&)>& change) const {
  const std::string& path = files_.write;
  if (path == unreadAtLoad_) throw WriteError("Unable to write to " + path);
  ProfileFile file(SaveBase());
  change(file);
  // A folder that cannot be made shows as the save's own failure.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  file.SaveAs(path);
}
