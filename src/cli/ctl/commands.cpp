// The panel's and the debug window's work: the port list, register reads and
// writes, the link check.
#include "ctl/commands.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "link/comport.h"
#include "link/linkcheck.h"
#include "link/registercommand.h"
#include "panel/cellcommand.h"
#include "panel/panelcell.h"

using json = nlohmann::ordered_json;

namespace {

void ListPorts(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 0, "no arguments");
  std::vector<std::string> entries;
  TComPort::EnumPorts(entries);
  json list = json::array();  // within an object, as every result
  for (const std::string& entry : entries) {
    const auto gap = entry.find("  ");
    const std::string name = entry.substr(0, gap);
    const std::string description = gap == std::string::npos ? "" : entry.substr(gap + 2);
    if (session.json)
      list.push_back({{"name", name}, {"description", description}});
    else
      session.out << name << '\t' << description << '\n';
  }
  if (session.json) session.out << json{{"ports", list}}.dump() << '\n';
}

// The value as the panel's read cell shows it.
void RunRead(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 1, "ADDR");
  const std::int32_t address = ParseRegisterAddressText(arguments.positional[0]);
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  const RegisterReadResult read = ReadRegister(port, static_cast<std::uint32_t>(address), true);
  if (read.error != LinkError::None) throw LinkFailure(read.error, port);
  const bool isSigned = arguments.Has("--signed");
  const std::string text = *ValueText(read.value, isSigned ? "get_s" : "get_u");
  if (session.json) {
    const json value = isSigned ? json(static_cast<std::int32_t>(read.value)) : json(read.value);
    session.out << json{{"address", address}, {"value", value}, {"text", text}}.dump() << '\n';
  } else {
    session.out << text << '\n';
  }
}

// The value is read before the address, as the panel does: with both bad,
// the value's message is the one given.
void RunWrite(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 2, "ADDR VALUE");
  const std::uint32_t value = ParseRegisterValue(arguments.positional[1]);
  const std::int32_t address = ParseRegisterAddressText(arguments.positional[0]);
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  const LinkError error = WriteRegister(port, static_cast<std::uint32_t>(address), value, true);
  if (error != LinkError::None) throw LinkFailure(error, port);
  if (session.json) session.out << json{{"address", address}, {"value", value}}.dump() << '\n';
}

void CheckLink(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 0, "no arguments");
  TComPort port;
  session.Open(port);  // the exchange closes it
  const LinkCheckReply reply = ExchangeLinkCheck(port);
  if (reply.error != LinkError::None) throw LinkFailure(reply.error, port);
  if (session.json)
    session.out << json{{"reply", reply.text}, {"bytes", reply.waiting}}.dump() << '\n';
  else
    session.out << reply.text << '\n';
}

}  // namespace

Command PortsCommand() {
  return {"ports", "  ports                  list the ports as the port dialog does: NAME<TAB>DESCRIPTION\n",
          {}, ListPorts};
}

Command ReadCommand() {
  return {"read",
          "  read ADDR [--signed]   read a register and print its value, unsigned or signed\n",
          {{}, {"--signed"}}, RunRead};
}

Command WriteCommand() {
  return {"write", "  write ADDR VALUE       write a register\n", {}, RunWrite};
}

Command CheckCommand() {
  return {"check", "  check                  link check: send \"Hello!\" and print the reply\n", {},
          CheckLink};
}
