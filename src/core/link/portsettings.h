#pragma once
// What the user chose for the port: its name, out of an entry of the port
// list or a typed text, and its rate, out of the layout file.
#include <cstdint>
#include <string>

// What stands before the first space, or the whole text when it has none.
std::string PortNameOf(const std::string& text);

// The baud rate stored in the layout file, or the default.
std::uint32_t StoredBaudRate(const std::string& layoutFile);
