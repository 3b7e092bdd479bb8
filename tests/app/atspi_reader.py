#!/usr/bin/python3
"""Reads a program's accessibility tree over the AT-SPI bus, as a screen reader does.

Usage: atspi_reader.py PID. One JSON command per line on standard input, {"steps": [...]}, run in
order; one JSON answer per line on standard output, {"results": [...]}, one result per step:
  {"tree": true}      every showing object of the program with that pid, with role, name, states,
                      label relations, value, text and actions
  {"keys": [...]}     key presses through the bus's device controller, as a screen reader's
                      keyboard would send them (names from KEYSYMS)
  {"sleep": S}        waits S seconds, the program keeps running
  {"events": true}    the events heard since the last such step
"""
import json
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Atspi.Action.get_action_name is the one that every libatspi in use has.
warnings.simplefilter("ignore", DeprecationWarning)

EVENTS = [
    "object:property-change:accessible-name",
    "object:property-change:accessible-description",
    "object:state-changed",
    "object:announcement",
    "object:text-changed",
    "object:children-changed",
    "focus:",
    "object:focus",
    "window:create",
    "window:activate",
]
heard = []
PID = 0


def node_of(obj):
    node = {
        "role": obj.get_role_name(),
        "name": obj.get_name() or "",
        "description": obj.get_description() or "",
        "states": sorted(
            Atspi.StateType(s).value_nick for s in obj.get_state_set().get_states()
        ),
        "labelledBy": [],
        "children": obj.get_child_count(),
    }
    for relation in obj.get_relation_set() or []:
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            node["labelledBy"] += [
                relation.get_target(i).get_name() or ""
                for i in range(relation.get_n_targets())
            ]
    interfaces = obj.get_interfaces()
    if "Value" in interfaces:
        node["value"] = Atspi.Value.get_current_value(obj)
        node["minimum"] = Atspi.Value.get_minimum_value(obj)
        node["maximum"] = Atspi.Value.get_maximum_value(obj)
    if "Text" in interfaces:
        node["text"] = Atspi.Text.get_text(obj, 0, Atspi.Text.get_character_count(obj))
    if "Action" in interfaces:
        node["actions"] = [
            Atspi.Action.get_action_name(obj, i) for i in range(Atspi.Action.get_n_actions(obj))
        ]
    return node


def walk(obj, path, out, depth=0, inside_combo=False):
    if obj is None or depth > 40:
        return
    try:
        node = node_of(obj)
        count = obj.get_child_count()
    except GLib.Error:
        return  # gone while the tree was read (a popup closed, a page rebuilt)
    node["path"] = path
    out.append(node)
    # What is not on screen is not read, except the closed list of a combo box on screen.
    if "showing" not in node["states"] and depth > 1 and not inside_combo:
        return
    inside_combo = inside_combo or node["role"] == "combo box"
    for i in range(count):
        try:
            child = obj.get_child_at_index(i)
        except GLib.Error:
            continue
        walk(child, path + [i], out, depth + 1, inside_combo)


def application(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def run_step(step, pid):
    global heard
    if "keys" in step:
        for name in step["keys"]:
            Atspi.generate_keyboard_event(KEYSYMS[name], None, Atspi.KeySynthType.SYM)
        return {"ok": True}
    if "sleep" in step:
        time.sleep(float(step["sleep"]))
        return {"ok": True}
    if "tree" in step:
        app = application(pid)
        if app is None:
            return {"error": "the program is not on the accessibility bus"}
        out = []
        walk(app, [], out)
        return {"nodes": out}
    if "events" in step:
        # Events that arrived while the steps ran are dispatched first.
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        events, heard = heard, []
        return {"events": events}
    return {"error": "unknown step %r" % step}


KEYSYMS = {
    "Tab": 0xFF09, "ISO_Left_Tab": 0xFE20, "Return": 0xFF0D, "Escape": 0xFF1B, "space": 0x20,
    "Up": 0xFF52, "Down": 0xFF54, "Left": 0xFF51, "Right": 0xFF53, "F4": 0xFFC1,
}


def on_event(event):
    try:
        source = event.source
        heard.append({
            "type": event.type,
            "detail": event.detail1,
            "value": str(event.any_data) if event.any_data is not None else "",
            "role": source.get_role_name() if source else "",
            "name": (source.get_name() or "") if source else "",
            "description": (source.get_description() or "") if source else "",
        })
    except GLib.Error:
        pass


def on_input(channel, condition):
    line = channel.readline()
    if not line:
        Atspi.event_quit()
        return False
    try:
        command = json.loads(line)
        reply = {"results": [run_step(step, PID) for step in command["steps"]]}
    except Exception as error:  # reported to the test, which fails with it
        reply = {"error": "%s: %s" % (type(error).__name__, error)}
    sys.stdout.write(json.dumps(reply) + "\n")
    sys.stdout.flush()
    return True


def main():
    global PID
    PID = int(sys.argv[1])
    Atspi.init()
    listener = Atspi.EventListener.new(on_event)
    for kind in EVENTS:
        listener.register(kind)
    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, on_input)
    sys.stdout.write(json.dumps({"ready": True}) + "\n")
    sys.stdout.flush()
    Atspi.event_main()


if __name__ == "__main__":
    main()
