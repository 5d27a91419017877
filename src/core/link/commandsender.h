#pragma once
// Where the panel's register commands go. Only one user talks to the port at
// a time: while a capture holds it, a command waits for the gap between two
// blocks; otherwise it goes out at once.
#include <functional>

class TComPort;

class CommandSender {
 public:
  // A command's whole exchange on the port. `portHeld`: the port is open and
  // held by the capture; otherwise the exchange opens and closes it itself.
  using Transaction = std::function<void(TComPort& port, bool portHeld)>;

  // Runs the transaction now, or keeps it until the port is free of the
  // capture between two blocks; a newer one replaces one not yet run.
  virtual void Send(Transaction transaction) = 0;

 protected:
  ~CommandSender() = default;
};
