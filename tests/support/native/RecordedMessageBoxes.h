// Message boxes in tests: recorded instead of shown (one would wait for a user), and
// answered from a script. Installed as the program's message box service while the
// object lives; boxes may come from any thread.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/seams/MessageBox.h"

namespace testsupport {

class RecordedMessageBoxes final : public seams::MessageBoxService {
public:
  struct Box {
    std::string text;
    std::string caption;
    unsigned flags = 0;
  };

  // Boxes the script does not answer are answered with `answer`.
  explicit RecordedMessageBoxes(int answer = seams::kIdOk);
  ~RecordedMessageBoxes() override;
  RecordedMessageBoxes(const RecordedMessageBoxes&) = delete;
  RecordedMessageBoxes& operator=(const RecordedMessageBoxes&) = delete;

  int Show(const std::string& text, const std::string& caption, unsigned flags) override;

  // The answers of the next boxes, in order.
  void SetAnswers(const std::vector<int>& answers);
  // The boxes shown so far, and their texts.
  std::vector<Box> Boxes() const;
  std::vector<std::string> Texts() const;
  // Forgets the boxes shown so far, or the last one.
  void Clear();
  void ForgetLast();

private:
  mutable std::mutex mMutex;
  std::vector<Box> mBoxes;
  std::deque<int> mAnswers;
  int mAnswer;
  seams::MessageBoxService* mPrevious = nullptr;
};

}  // namespace testsupport
