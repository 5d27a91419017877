#pragma once
// What the user chose for the port: its name, out of an entry of the port
// list or a typed text, its rate, out of the layout file, and the network
// ports chosen before, which the layout file keeps for the port list.
#include <cstdint>
#include <string>
#include <vector>

class ProfileFile;

// What stands before the first space, or the whole text when it has none.
std::string PortNameOf(const std::string& text);

// The baud rate stored in the layout file, or the default.
std::uint32_t StoredBaudRate(const std::string& layoutFile);

// The network ports the file keeps, most recent first: each well-formed
// name once, whatever else a key edited by hand holds.
std::vector<std::string> ReadNetPorts(const ProfileFile& file);
void WriteNetPorts(ProfileFile& file, const std::vector<std::string>& ports);

// The ports with the name in front and no other copy of it, as many as the
// file keeps. A name that is not a well-formed network port (a device, a
// mistyped address) leaves them as they were.
std::vector<std::string> WithNetPort(std::vector<std::string> ports, const std::string& name);

// Where the port dialog finds the network ports chosen before and keeps the
// one the user confirms. The layout file's owner keeps them; the dialog
// knows only this.
class NetPortHistory {
 public:
  virtual std::vector<std::string> NetPorts() const = 0;
  virtual void RememberNetPort(const std::string& name) const = 0;

 protected:
  ~NetPortHistory() = default;
};
