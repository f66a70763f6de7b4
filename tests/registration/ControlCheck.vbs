' A client we did not write: Wine's VBScript creates the control by its
' ProgID and asks it for its type information through IDispatch.
On Error Resume Next
Set control = CreateObject("ZRP.Vaz.Vexil2UI")
If Err.Number <> 0 Then
    WScript.Echo "CreateObject failed: 0x" & Hex(Err.Number) & " " & Err.Description
    WScript.Quit 1
End If
name = TypeName(control)
If Err.Number <> 0 Then
    WScript.Echo "TypeName failed: 0x" & Hex(Err.Number)
    WScript.Quit 1
End If
If name <> "IVexil2UI" Then
    WScript.Echo "type information names " & name
    WScript.Quit 1
End If
WScript.Echo "ZRP.Vaz.Vexil2UI: " & name
WScript.Quit 0
