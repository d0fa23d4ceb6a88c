// Kavelmor.dll driven by the system's script host, with host objects written in JScript: a
// collection's Item is a function. The component reads members as late binding does, method
// or property at once; this script engine answers such a read only by calling the member, so
// every member read here is a function too (a property written by the component stays a
// plain value). Prints what it saw and "all as expected" at the end; exits 1 on a difference.
//
//   cscript //nologo host_session.js      (Kavelmor.clsKavelmor registered)
//
// The engine reads this file in the system's code page: texts beyond ASCII are escapes. It
// cannot assign to a caller's by-reference arguments, so a text's bounding box (two out
// parameters) cannot be answered, and the block totals are left to the type-library test.

var failures = 0;
function check(what, got, want) {
  if (String(got) === String(want)) {
    WScript.Echo("ok " + what + ": " + got);
  } else {
    WScript.Echo("FAILED " + what + ": got [" + got + "], want [" + want + "]");
    failures++;
  }
}

// Runs one part; an error in it is a failure, and the parts after it still run.
function part(name, run) {
  try {
    run();
  } catch (error) {
    WScript.Echo("FAILED " + name + ": " + (error.message || error.description || error) +
                 " (" + (error.number & 0xFFFF) + ")");
    failures++;
  }
}

var calls = [];
function note(call) {
  calls.push(call);
}
function called(call) {
  for (var i = 0; i < calls.length; i++) {
    if (calls[i] === call) {
      return true;
    }
  }
  return false;
}

// JScript has no arrays of its own to hand over; a dictionary's items are one.
function safeArray(values) {
  var items = new ActiveXObject("Scripting.Dictionary");
  for (var i = 0; i < values.length; i++) {
    items.Add(i, values[i]);
  }
  return items.Items();
}
// Arrays of Variants only: this engine cannot look into an array of Doubles (the points the
// component hands over), so points are not read here.
function listOf(array) {
  return new VBArray(array).toArray().join(",");
}

// The host's model space keeps every text with the properties the component set on it.
var texts = [];
var modelSpace = {
  AddText: function (text, point, height) {
    note("AddText " + text);
    var added = {
      Alignment: null, TextAlignmentPoint: null, StyleName: null, Layer: null,
      ScaleFactor: null, color: null, Linetype: null, LinetypeScale: null, Lineweight: null
    };
    added.text = text;
    added.height = height;
    texts.push(added);
    return added;
  }
};

var variables = { users1: "the user's first", users2: "the user's second" };
function drawing(name) {
  return {
    name: function () { return name; },
    ModelSpace: function () { return modelSpace; },
    GetVariable: function (variable) {
      note("GetVariable " + variable);
      return variables[variable.toLowerCase()];
    },
    SetVariable: function (variable, value) {
      note("SetVariable " + variable + " " + value);
      variables[variable.toLowerCase()] = value;
    }
  };
}
var drawings = [drawing("Drawing1.dwg"), drawing("Drawing2.dwg"), drawing("Drawing3.dwg")];
var documents = {
  Count: function () { return drawings.length; },
  Item: function (index) {
    note("Documents.Item " + index);
    return drawings[index];
  }
};

// The LISP engine: read hands back a form for the text, eval gives the text's result.
var lispResults = { "(+ 1 2)": 3 };
function lispFunction(name) {
  return {
    funcall: function (argument) {
      note(name + ".funcall " + argument);
      if (name === "read") {
        return "form:" + argument;
      }
      var result = lispResults[String(argument).substring(5)];
      return result === undefined ? null : result;
    }
  };
}
var lispFunctions = { read: lispFunction("read"), eval: lispFunction("eval") };
var functions = {
  Item: function (name) {
    note("Functions.Item " + name);
    return lispFunctions[name];
  }
};
var visualLisp = { ActiveDocument: function () { return { Functions: function () { return functions; } }; } };

var application = {
  ActiveDocument: function () { return drawings[0]; },
  Documents: function () { return documents; },
  Version: function () { return "17.2s (LMS Tech)"; },
  hwnd: function () { return 0; },
  GetInterfaceObject: function (programId) {
    note("GetInterfaceObject " + programId);
    return visualLisp;
  }
};

var users1 = "\"(lstdang gong jkdag)\"";
var users2 = "(defun f3e(a) (eval (read (getvar (strcat \"users\" (itoa a))))))";
var bridgeStart = "(vl-doc-set'jl\"ssadd\")";
var bridgeEnd = "(progn(vl-doc-set'il nil)(vl-doc-set'jl nil)(vl-doc-set'kl nil))";

var component = new ActiveXObject("Kavelmor.clsKavelmor");

part("start-up", function () {
  component.dycjmw(application, 0, 0);
  check("LISP application asked for", called("GetInterfaceObject VL.Application.16"), true);
  check("USERS1", variables.users1, users1);
  check("USERS2", variables.users2, users2);
  check("bridge read", called("read.funcall " + bridgeStart), true);
  check("bridge eval", called("eval.funcall form:" + bridgeStart), true);
});

part("mlfs2ed", function () {
  calls = [];
  check("mlfs2ed (+ 1 2)", component.mlfs2ed("(+ 1 2)"), 3);
  check("mlfs2ed calls", calls.join(" | "), "Functions.Item read | read.funcall (+ 1 2) | " +
        "Functions.Item eval | eval.funcall form:(+ 1 2)");
});

// The window test reads the last of three documents; no window has its title here.
part("CadTB", function () {
  calls = [];
  check("CadTB", component.CadTB(application), 0);
  check("CadTB asked for the last document", called("Documents.Item 2"), true);
});

// A bill block: a flashing opened and split, one line, then two count rows.
part("bill block", function () {
  component.WSJM("JM-1", "S0", 300, safeArray([1000, 2000, 0]), 1);
  component.mzbj0(0, 4000, 100, 100);
  check("Mode0LZ pieces", listOf(component.Mode0LZ(safeArray([5000, 5000, 5000]), 1, 0)), "2600,6");
  component.bjxn(0, safeArray([0, 0]), safeArray([3000, 0]));
  component.qp1(0);
  component.yfgiu("3000", "2", 0);
  component.yfgiu("4500.5", "12", 0);
});

part("bill texts", function () {
  var expected = ["3000", "2", "4500.5", "12"];
  check("texts written", texts.length, expected.length);
  for (var i = 0; i < texts.length && i < expected.length; i++) {
    var text = texts[i];
    var at = "text " + i + " ";
    check(at + "string", text.text, expected[i]);
    check(at + "height", text.height, 300);
    check(at + "Alignment", text.Alignment, 10);
    check(at + "TextAlignmentPoint set", text.TextAlignmentPoint !== null, true);
    check(at + "StyleName", text.StyleName, "HZTXT");
    check(at + "Layer BJ-\u6e05\u5355", text.Layer === "BJ-\u6e05\u5355", true);
    check(at + "ScaleFactor", text.ScaleFactor, 0.7);
    check(at + "color", text.color, 7);
    check(at + "Linetype", text.Linetype, "ByLayer");
    check(at + "LinetypeScale", text.LinetypeScale, 1);
    check(at + "Lineweight", text.Lineweight, -1);
  }
});

// The end, while the script still runs (the engine cannot be called into once it closes):
// the bridge cleared, the user's variables given back.
part("end", function () {
  calls = [];
  component = null;
  CollectGarbage();
  check("bridge cleared", called("read.funcall " + bridgeEnd), true);
  check("USERS1 given back", variables.users1, "the user's first");
  check("USERS2 given back", variables.users2, "the user's second");
});

WScript.Echo(failures === 0 ? "all as expected" : failures + " failed");
WScript.Quit(failures === 0 ? 0 : 1);
