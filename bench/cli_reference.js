// pelorin-cli's work done the simplest way from a script, for the CLI
// benchmark: the same Outlook calls and the same properties read, each
// member looked up by name on every call, the check after each AddStore,
// and each store to remove found by walking Stores again.
//   cscript //nologo cli_reference.js attach LIST   attach the files of LIST
//   cscript //nologo cli_reference.js list          one line per store
//   cscript //nologo cli_reference.js detach        every PST but the default
var command = WScript.Arguments(0);
var ns = new ActiveXObject("Outlook.Application").GetNamespace("MAPI");
var fso = new ActiveXObject("Scripting.FileSystemObject");

function say(text) { WScript.Echo(text); }

function defaultPath() {
    try { return ns.DefaultStore.FilePath; } catch (e) { return null; }
}

// Each file once: "already" when the profile holds it, else AddStore and
// the check that the profile lists it (the stores past the old count first).
function attach(listFile) {
    var known = {};
    var stores = ns.Stores, count = stores.Count;
    for (var i = 1; i <= count; i++) known[stores.Item(i).FilePath.toUpperCase()] = true;
    var list = fso.OpenTextFile(listFile, 1, false, 0);
    var failed = 0;
    while (!list.AtEndOfStream) {
        var path = list.ReadLine();
        if (path == "") continue;
        if (!fso.FileExists(path)) { say("failed\t" + path + "\tfile not found"); failed++; continue; }
        if (known[path.toUpperCase()]) { say("already\t" + path); continue; }
        var before = ns.Stores.Count;
        ns.AddStore(path);
        var after = ns.Stores, now = after.Count, found = false;
        for (var k = 0; k < now && !found; k++)
            found = after.Item((before + k) % now + 1).FilePath.toUpperCase() == path.toUpperCase();
        if (!found) { say("failed\t" + path + "\tOutlook did not add the file"); failed++; continue; }
        known[path.toUpperCase()] = true;
        say("attached\t" + path);
    }
    return failed ? 1 : 0;
}

function list() {
    var def = defaultPath();
    var stores = ns.Stores, count = stores.Count;
    for (var i = 1; i <= count; i++) {
        var store = stores.Item(i);
        var path = store.FilePath, name = store.DisplayName, pst = store.ExchangeStoreType == 3;
        var line = "ok\t" + path + "\t" + (pst ? "pst" : "store") + (path == def ? " (default)" : "") + ": " + name;
        if (pst && fso.FileExists(path)) line += ", " + fso.GetFile(path).Size + " bytes";
        say(line);
    }
    return 0;
}

function detach() {
    var def = defaultPath();
    if (def == null) { say("failed: Outlook does not say which store is the default"); return 1; }
    var doomed = [];
    var stores = ns.Stores, count = stores.Count;
    for (var i = 1; i <= count; i++) {
        var store = stores.Item(i);
        var path = store.FilePath, name = store.DisplayName, type = store.ExchangeStoreType;
        if (type == 3 && path != def) doomed.push(path);
    }
    for (var d = 0; d < doomed.length; d++) {
        var all = ns.Stores, n = all.Count;
        for (var j = 1; j <= n; j++) {
            var s = all.Item(j);
            if (s.FilePath == doomed[d]) { ns.RemoveStore(s.GetRootFolder()); break; }
        }
        say("detached\t" + doomed[d]);
    }
    return 0;
}

var code = command == "attach" ? attach(WScript.Arguments(1)) : command == "list" ? list() : detach();
// Every object released before the end, so that Outlook is let go.
ns = null;
fso = null;
CollectGarbage();
WScript.Quit(code);
