#pragma once
// A virtual board on a pseudo-terminal: PortPath() is a serial port that any
// client opens like a real one, and a thread of its own answers on it through
// a BoardCore. Used by the tarnwick-board program and by tests of the link.
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board/boardcore.h"
#include "board/uniquefd.h"

class PtyBoard {
 public:
  // Opens the pty and starts serving; std::system_error when the system
  // refuses a pty.
  explicit PtyBoard(const BoardOptions& options = {});
  ~PtyBoard();
  PtyBoard(const PtyBoard&) = delete;
  PtyBoard& operator=(const PtyBoard&) = delete;

  const std::string& PortPath() const;          // "/dev/pts/N"
  std::vector<std::uint8_t> Received() const;  // every byte received so far, in order
  void ClearReceived();
  void SetOptions(const BoardOptions& options);
  // Bytes on the line that answer nothing: noise, or a late answer.
  void SendUnasked(const std::vector<std::uint8_t>& bytes);
  std::uint8_t Register(int index) const;
  void SetRegister(int index, std::uint8_t value);
  // Closes the master now: the port disappears under its client, whose read
  // gives EOF and whose ioctls fail with EIO. The board answers no more.
  void Vanish();

 private:
  void StopServing();
  void Serve();
  int MillisecondsToNextDeadline() const;
  void TakeInput();
  void CollectAnswers(std::vector<std::uint8_t>& outbox);
  void SendOutput(std::vector<std::uint8_t>& outbox);

  mutable std::mutex mutex_;  // guards core_ and received_
  BoardCore core_;
  std::vector<std::uint8_t> received_;

  UniqueFd master_;
  // Held open for the board's whole life: without any slave holder the master
  // reports hang-ups whenever no client has the port open.
  UniqueFd slave_;
  UniqueFd wake_;  // an eventfd that tells the thread to stop
  std::string portPath_;
  std::thread thread_;
};
