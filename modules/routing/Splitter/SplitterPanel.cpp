#include "Splitter.h"

void create_panel(ZMParam*) {}
void close_panel(ZMParam*) {}
int show_panel(ZMParam*, BMessage* m) { delete m; return -1; }
void set_panel_title(ZMParam*, const char*) {}
void save_panel_frame(ZMParam*, BMessage*) {}
void restore_panel_frame(ZMParam*, BMessage*) {}
void update(ZMParam*) {}
