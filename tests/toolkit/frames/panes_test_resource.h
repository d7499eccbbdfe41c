#pragma once
// Resources of the pane window tests.
#define IDB_OUTLOOK_BACK 300
