// Resource ids of the look tests' own frame: a menu and a toolbar.
#define IDR_LOOKS_MENU 3101
#define IDR_LOOKS_TOOLBAR 3102

#define ID_LOOKS_RECORD 40101
#define ID_LOOKS_PLAY 40102
#define ID_LOOKS_STOP 40103
