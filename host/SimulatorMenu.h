#pragma once
// The demo host's "Simulator" menu: with it a person puts the simulated
// register access server into every state and fault that the control has to
// cope with, and sees how the control reacts.

#include "VexilSim.h"

#include <windows.h>

namespace SimulatorMenu {

// The commands that a script gives as a person would pick them.
enum Command : UINT
{
    ID_READY = 40001,
    ID_NOT_READY,
    ID_NOT_READY_AFTER_3,
    ID_FAIL_NEXT_CALL,
    ID_FAIL_REGISTER,
    ID_DELAY_1,
    ID_DELAY_10,
    ID_DELAY_100,
    ID_CLEAR_FAULTS,
    ID_SHAPE_FIRST, // one per value shape
};

// The menu bar of the host window: "Simulator" with its commands.
HMENU CreateMenuBar();
// Carries out a menu command; false when the id is not one of the menu's.
bool Execute(UINT command, IVexilSimControl& simulator);

} // namespace SimulatorMenu
