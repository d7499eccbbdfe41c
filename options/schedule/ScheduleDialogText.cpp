#include "options/schedule/ScheduleDialogText.h"

namespace schedule_dialog_text {

const char* const kItemColumns[4] = {"  Active  ", "  Start Time", "  Stop Time", "  Event Date"};
const char* const kTodayColumns[5] = {"  #  ", "   Start Time   ", "    Stop Time    ", "    Status    ",
                                      "   Event Date   "};
const char* const kConflictColumns[5] = {"  #  ", " Schedule Type ", " Start Time ", " Stop Time  ",
                                         "   Event Date   "};
const char kRowNumberFormat[] = "%d";
const char kEnabled[] = "Enable";
const char kDisabled[] = "Disable";

const char kManyInstances[] =
    "You are running many Tarvel instances, so all operations of schedule will be disabled!";
const char kSelectItem[] = "Please select a schedule item in schedule settings!";
const char kInformationCaption[] = "Information";
const char kDateBeforeToday[] = "The selected date is earlier than current date!";
const char kStartNotBeforeStop[] = "Start Time is larger than or equal Stop Time!";

}  // namespace schedule_dialog_text
