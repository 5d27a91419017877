// The panel's and the debug window's work: the port list, register reads and
// writes, the link check.
#include "ctl/commands.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "link/comport.h"
#include "link/linkcheck.h"
#include "link/registercommand.h"
#include "panel/panelcell.h"

using json = nlohmann::ordered_json;

namespace {

// A negative address travels as its 32-bit pattern, as from the panel.
std::uint32_t AddressOf(const std::string& text) {
  return static_cast<std::uint32_t>(ParseRegisterAddressText(text));
}

void ListPorts(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 0, "no arguments");
  std::vector<std::string> entries;
  TComPort::EnumPorts(entries);
  json list = json::array();
  for (const std::string& entry : entries) {
    const auto gap = entry.find("  ");
    const std::string name = entry.substr(0, gap);
    const std::string description = gap == std::string::npos ? "" : entry.substr(gap + 2);
    if (session.json)
      list.push_back({{"name", name}, {"description", description}});
    else
      session.out << name << '\t' << description << '\n';
  }
  if (session.json) session.out << list.dump() << '\n';
}

// A read with no answer or a short one shows "TimeOut" in the panel; here
// the message has gone to standard error and the status says it.
void ReadRegister(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 1, "ADDR");
  const std::string& addressText = arguments.positional[0];
  const std::int32_t address = ParseRegisterAddressText(addressText);
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  std::string text = "TimeOut";
  SendRegisterCommand(port, CommandRead, static_cast<std::uint32_t>(address), 0, true,
                      [&text](const std::string& shown) { text = shown; },
                      arguments.Has("--signed") ? "get_s" : "get_u");
  if (text == "TimeOut") throw CtlFailure(ExitAnswer, "");
  if (session.json)
    session.out << json{{"address", address}, {"value", std::stoll(text)}, {"text", text}}.dump() << '\n';
  else
    session.out << text << '\n';
}

// The value is read before the address, as the panel does: with both bad,
// the value's message is the one given.
void WriteRegister(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 2, "ADDR VALUE");
  const std::uint32_t value = ParseRegisterValue(arguments.positional[1]);
  const std::uint32_t address = AddressOf(arguments.positional[0]);
  TComPort port;
  session.Open(port);
  const PortCloser closer(port);
  SendRegisterCommand(port, CommandWrite, address, value, true, {}, "set");
}

void CheckLink(Session& session, const ParsedArguments& arguments) {
  ExpectArguments(arguments, 0, "no arguments");
  TComPort port;
  session.Open(port);
  const LinkCheckReply reply = ExchangeLinkCheck(port);
  if (reply.waiting == 0) throw CtlFailure(ExitAnswer, "Timeout");
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
          {{}, {"--signed"}}, ReadRegister};
}

Command WriteCommand() {
  return {"write", "  write ADDR VALUE       write a register\n", {}, WriteRegister};
}

Command CheckCommand() {
  return {"check", "  check                  link check: send \"Hello!\" and print the reply\n", {},
          CheckLink};
}
