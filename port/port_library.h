#pragma once
// The port library: serial (COM), HID and USB bulk ports behind one abstract port, the list of
// ports present, the port manager that owns a port with its worker thread, device arrival and
// removal, and lending a port to another running instance.
//
// Users create a CPortManGui (or CPortMan) per port with their owner window and message
// numbers, open a port by any of its names, write frames, and receive bytes and events as
// window messages.

#include "port/port_list.h"
#include "port/port_man.h"
#include "port/port_man_gui.h"
#include "port/port_settings_store.h"
