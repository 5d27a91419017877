#include "capture/capturesession.h"

#include <array>

#include "link/comport.h"

bool CaptureSession::Start(bool run) {
  if (!port_.Opened && !port_.Open()) return false;
  state_ = run ? CaptureState::Running : CaptureState::Stopping;
  return true;
}

void CaptureSession::Stop() {
  if (state_ == CaptureState::Running) state_ = CaptureState::Stopping;
}

void CaptureSession::Resume() {
  if (state_ == CaptureState::Stopping) state_ = CaptureState::Running;
}

BlockResult CaptureSession::Capture(bool average, const KeepWaiting& keepWaiting) {
  std::array<std::uint8_t, BlockBytes> block;
  const BlockResult result = FetchBlock(port_, block, Now, AnswerSettle, keepWaiting);
  if (result != BlockResult::Whole) {
    Stop();
    return result;
  }
  if (average) Samples.Shift();
  Samples.Decode(block);
  return result;
}

// Taken out of the slot before it runs: a command given while this one
// shows its outcome waits for the next gap instead of being lost.
void CaptureSession::SendPending() {
  if (!pending_) return;
  const Transaction transaction = std::move(pending_);
  pending_ = nullptr;
  transaction(port_, true);
}

// A command still waiting belonged to the work that failed.
void CaptureSession::Release() {
  pending_ = nullptr;
  state_ = CaptureState::Idle;
  port_.Close();
}

void CaptureSession::Send(Transaction transaction) {
  if (Acquiring())
    pending_ = std::move(transaction);
  else
    transaction(port_, false);
}
