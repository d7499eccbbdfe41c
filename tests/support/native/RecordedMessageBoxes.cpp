#include "tests/support/native/RecordedMessageBoxes.h"

namespace testsupport {

RecordedMessageBoxes::RecordedMessageBoxes(int answer) : mAnswer(answer) {
  mPrevious = seams::SetMessageBoxService(this);
}

RecordedMessageBoxes::~RecordedMessageBoxes() { seams::SetMessageBoxService(mPrevious); }

int RecordedMessageBoxes::Show(const std::string& text, const std::string& caption, unsigned flags) {
  std::lock_guard lock(mMutex);
  mBoxes.push_back(Box{text, caption, flags});
  if (mAnswers.empty()) return mAnswer;
  const int answer = mAnswers.front();
  mAnswers.pop_front();
  return answer;
}

void RecordedMessageBoxes::SetAnswers(const std::vector<int>& answers) {
  std::lock_guard lock(mMutex);
  mAnswers.assign(answers.begin(), answers.end());
}

std::vector<RecordedMessageBoxes::Box> RecordedMessageBoxes::Boxes() const {
  std::lock_guard lock(mMutex);
  return mBoxes;
}

std::vector<std::string> RecordedMessageBoxes::Texts() const {
  std::lock_guard lock(mMutex);
  std::vector<std::string> texts;
  for (const Box& box : mBoxes) texts.push_back(box.text);
  return texts;
}

void RecordedMessageBoxes::Clear() {
  std::lock_guard lock(mMutex);
  mBoxes.clear();
}

void RecordedMessageBoxes::ForgetLast() {
  std::lock_guard lock(mMutex);
  if (!mBoxes.empty()) mBoxes.pop_back();
}

}  // namespace testsupport
