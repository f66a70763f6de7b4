' The simulator as a VBScript client sees it: created by its ProgID, a
' register written from variables (by reference) and read back through
' IDispatch, state 0 and refusals with their messages. Wine's VBScript cannot
' index an array of 4-byte integers (only arrays of VARIANT), so the normal
' value is checked for its type and the values are read in the VARIANT shape.
Option Explicit
On Error Resume Next

Dim failures
failures = 0

Sub Check(condition, what)
  If Err.Number <> 0 Then
    WScript.Echo "FAIL " & what & ": error 0x" & Hex(Err.Number) & " " & Err.Description
    failures = failures + 1
    Err.Clear
  ElseIf Not condition Then
    WScript.Echo "FAIL " & what
    failures = failures + 1
  End If
End Sub

Sub Expect(code, part, what)
  If Err.Number <> code Or InStr(Err.Description, part) = 0 Then
    WScript.Echo "FAIL " & what & ": 0x" & Hex(Err.Number) & " " & Err.Description
    failures = failures + 1
  End If
  Err.Clear
End Sub

Dim sim, value, state
Set sim = CreateObject("Vexil.Simulator")
If Err.Number <> 0 Then
  WScript.Echo "FAIL cannot create Vexil.Simulator: 0x" & Hex(Err.Number) & " " & Err.Description
  WScript.Quit 1
End If

state = sim.GetServerState()
Check state = 1, "server state 1"

' Controller, Memory/Buffer/WORD00: a plain 32-bit register. Variables reach
' the server by reference.
Dim words, ones
words = Array(&H12345678)
ones = Array(-1)
sim.WriteRegister 1, &H1000, 32, words, ones, 0
Check True, "write 32 bits from variables"
sim.ReadRegister 1, &H1000, 32, value, Array(-1), 0
Check VarType(value) = vbArray + vbLong, "normal read value is an array of 4-byte integers"

sim.SetValueShape 4
sim.ReadRegister 1, &H1000, 32, value, Array(-1), 0
Check VarType(value) = vbArray + vbVariant, "read value in the VARIANT shape"
Check UBound(value) = 0, "one word"
Check value(0) = &H12345678, "the written value comes back"

' A masked write to the 40-bit register Wide/W40: only the masked bits change.
' (65535: VBScript reads &HFFFF as the 16-bit integer -1.)
sim.WriteRegister 1, &H408, 40, Array(-1, 255), Array(65535, 15), 0
Check True, "masked write 40 bits"
sim.ReadRegister 1, &H408, 40, value, Array(-1, -1), 0
Check UBound(value) = 1, "two words"
Check value(0) = &H1234FFFF, "low word under the mask"
Check value(1) = &HAF, "high word under the mask, cut to 8 bits"

' A refused write raises an error with the register in its description.
sim.WriteRegister 1, 0, 32, Array(0), Array(-1), 0
Expect &H85000004, "register ID", "write to the identification register"

' State 0 refuses register access but still serves the lists.
Dim names, ids
sim.SetServerState 0
Check True, "state 0"
sim.ReadRegister 1, &H1000, 32, value, Array(-1), 0
Expect &H80042000, "no connection", "read in state 0"
sim.WriteRegister 1, &H1000, 32, Array(1), Array(-1), 0
Expect &H80042000, "no connection", "write in state 0"
sim.GetDevices names, ids
Check VarType(names) = vbArray + vbString, "devices listed in state 0"
sim.SetServerState 1
sim.ReadRegister 1, &H1000, 32, value, Array(-1), 0
Check value(0) = &H12345678, "read again in state 1"

' A missing description file is refused with its name.
sim.LoadDescription "Z:\no\such\description.txt"
Expect &H80070002, "description.txt", "missing description file"

If failures > 0 Then WScript.Quit 1
WScript.Echo "simulator VBScript check passed"
WScript.Quit 0
