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
    var names = ["Reserved1", "Reserved2"];
    for (var i = 0; i < names.length; ++i) {
        var failed = false;
        try {
            sim[names[i]]();
        } catch (e) {
            failed = true;
            if ((e.number >>> 0) != 0x80004001 || e.description.indexOf(names[i]) < 0)
                fail(names[i] + " error: " + (e.number >>> 0).toString(16) + " " + e.description);
        }
        if (!failed)
            fail(names[i] + " did not fail");
    }
    WScript.Echo("simulator JScript check passed");
} catch (e) {
    fail("script error " + (e.number >>> 0).toString(16) + " " + e.description);
}
