// The simulator as a JScript client sees it: created by its ProgID, driven
// through IDispatch. JScript receives no [out] arguments and builds no
// SAFEARRAYs, so it reads the state (a return value) and sees a failure's
// error information; the register round trip is the VBScript check's.
function fail(what) {
    WScript.Echo("FAIL " + what);
    WScript.Quit(1);
}

try {
    var sim = new ActiveXObject("Vexil.Simulator");
    if (sim.GetServerState() != 1)
        fail("server state 1");
    sim.SetServerState(0);
    if (sim.GetServerState() != 0)
        fail("server state 0 after SetServerState(0)");
    var failed = false;
    try {
        sim.Reserved1();
    } catch (e) {
        failed = true;
        if ((e.number >>> 0) != 0x80004001 || e.description.indexOf("Reserved1") < 0)
            fail("Reserved1 error: " + (e.number >>> 0).toString(16) + " " + e.description);
    }
    if (!failed)
        fail("Reserved1 did not fail");
    WScript.Echo("simulator JScript check passed");
} catch (e) {
    fail("script error " + (e.number >>> 0).toString(16) + " " + e.description);
}
