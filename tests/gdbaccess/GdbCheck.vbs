' The GDB server as a VBScript client sees it: created by its ProgID, the
' control's methods reached by name through the default IDispatch (numbers as
' VBScript passes them, 2-byte integers), and each refusal an error carrying
' the server's own message.
Option Explicit
On Error Resume Next

Dim failures
failures = 0

Sub Expect(code, part, what)
  If Err.Number <> code Or (part <> "" And InStr(Err.Description, part) = 0) Then
    WScript.Echo "FAIL " & what & ": error 0x" & Hex(Err.Number) & " " & Err.Description
    failures = failures + 1
  End If
  Err.Clear
End Sub

Dim server
Set server = CreateObject("Vexil.GdbServer")
If Err.Number <> 0 Then
  WScript.Echo "FAIL cannot create Vexil.GdbServer: 0x" & Hex(Err.Number) & " " & Err.Description
  WScript.Quit 1
End If

server.SetTimeout 500
Expect 0, "", "timeout as a script passes it"
server.SetTimeout 0
Expect &H80070057, "SetTimeout: 0 ms is not 1 to 600000", "timeout out of range"
server.SetByteOrder 1
Expect 0, "", "byte order as a number"
server.LoadDescription "Z:\no\such\missing.svd"
Expect &H80070057, "missing.svd", "missing description file"
server.Connect "board"
Expect &H80070057, "Connect: ""board"" is not HOST:PORT", "not host and port"
Dim text
For Each text In Array("board:65536", "board:0", ":1234", "board:12a")
  server.Connect text
  Expect &H80070057, "is not HOST:PORT", "not host and port: " & text
Next
' The highest port is taken, and nothing listens there.
server.Connect "127.0.0.1:65535"
Expect &H80042000, "cannot connect", "highest port"
' Nothing listens on port 1 of the loopback address.
server.Connect "127.0.0.1:1"
Expect &H80042000, "cannot connect to the GDB server at 127.0.0.1:1", "refused connection"
server.Disconnect
Expect 0, "", "disconnect"
If server.GetServerState() <> 0 Then
  WScript.Echo "FAIL server state 0 without a connection"
  failures = failures + 1
End If
server.Explode
Expect 438, "", "an unknown name"

If failures > 0 Then WScript.Quit 1
WScript.Echo "GDB server VBScript check passed"
WScript.Quit 0
