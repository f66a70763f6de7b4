#include "host/SimulatorMenu.h"

#include "frame/com/BStr.h"

#include <iterator>

using namespace SimulatorMenu;

namespace {

constexpr long TIMEOUT = static_cast<long>(0x80042007);
// Controller (device 1), register System/Control/CTRL of the built-in description.
constexpr long FAILING_DEVICE = 1;
constexpr long FAILING_ADDRESS = 0x8;

struct CShape
{
    VexilSimValueShape shape;
    const wchar_t* text;
};
const CShape SHAPES[] = {
    {VexilSimShapeI4, L"4-byte integers (normal)"},
    {VexilSimShapeI2, L"2-byte integers (cut to 16 bits)"},
    {VexilSimShapeR8, L"Doubles"},
    {VexilSimShapeBStr, L"Decimal strings"},
    {VexilSimShapeVariant, L"VARIANTs"},
    {VexilSimShapeEmpty, L"Empty"},
    {VexilSimShapeScalar, L"One integer, no array"},
    {VexilSimShapeShort, L"One word too few"},
};

} // namespace

HMENU SimulatorMenu::CreateMenuBar()
{
    HMENU shapes = CreatePopupMenu();
    for (UINT index = 0; index < std::size(SHAPES); ++index)
        AppendMenuW(shapes, MF_STRING, ID_SHAPE_FIRST + index, SHAPES[index].text);

    HMENU simulator = CreatePopupMenu();
    AppendMenuW(simulator, MF_STRING, ID_READY, L"Server &ready");
    AppendMenuW(simulator, MF_STRING, ID_NOT_READY, L"Server &not ready");
    AppendMenuW(simulator, MF_STRING, ID_NOT_READY_AFTER_3, L"Not ready after the next &3 calls");
    AppendMenuW(simulator, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(simulator, MF_STRING, ID_FAIL_NEXT_CALL, L"Fail the next call with a &timeout (0x80042007)");
    AppendMenuW(simulator, MF_STRING, ID_FAIL_REGISTER, L"Fail every access to Controller &CTRL");
    AppendMenuW(simulator, MF_STRING, ID_DELAY_1, L"Delay every call by 1 ms");
    AppendMenuW(simulator, MF_STRING, ID_DELAY_10, L"Delay every call by 10 ms");
    AppendMenuW(simulator, MF_STRING, ID_DELAY_100, L"Delay every call by 100 ms");
    AppendMenuW(simulator, MF_POPUP, reinterpret_cast<UINT_PTR>(shapes), L"Value &shape");
    AppendMenuW(simulator, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(simulator, MF_STRING, ID_CLEAR_FAULTS, L"C&lear faults");

    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(simulator), L"&Simulator");
    return bar;
}

bool SimulatorMenu::Execute(UINT command, IVexilSimControl& simulator)
{
    const CBStr fault(L"simulated by the demo host");
    switch (command)
    {
    case ID_READY:
        simulator.SetServerState(1);
        return true;
    case ID_NOT_READY:
        simulator.SetServerState(0);
        return true;
    case ID_NOT_READY_AFTER_3:
        simulator.ChangeStateAfter(3, 0);
        return true;
    case ID_FAIL_NEXT_CALL:
        simulator.FailCall(1, TIMEOUT, fault.Get());
        return true;
    case ID_FAIL_REGISTER:
        simulator.FailRegister(FAILING_DEVICE, FAILING_ADDRESS, TIMEOUT, fault.Get());
        return true;
    case ID_DELAY_1:
        simulator.SetCallDelay(1);
        return true;
    case ID_DELAY_10:
        simulator.SetCallDelay(10);
        return true;
    case ID_DELAY_100:
        simulator.SetCallDelay(100);
        return true;
    case ID_CLEAR_FAULTS:
        simulator.ClearFaults();
        return true;
    default:
        if (command >= ID_SHAPE_FIRST && command < ID_SHAPE_FIRST + std::size(SHAPES))
        {
            simulator.SetValueShape(SHAPES[command - ID_SHAPE_FIRST].shape);
            return true;
        }
        return false;
    }
}
