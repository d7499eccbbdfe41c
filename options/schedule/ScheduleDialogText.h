#pragma once
// The texts of the schedule dialogs: column headers, the type tree and the messages.
// Times, dates and type names of the lists come from schedule_text.

namespace schedule_dialog_text {

extern const char* const kItemColumns[4];
extern const char* const kTodayColumns[5];
extern const char* const kConflictColumns[5];
extern const char kRowNumberFormat[];
extern const char kEnabled[];
extern const char kDisabled[];

extern const char kManyInstances[];
extern const char kSelectItem[];
extern const char kInformationCaption[];
extern const char kDateBeforeToday[];
extern const char kStartNotBeforeStop[];

}  // namespace schedule_dialog_text
