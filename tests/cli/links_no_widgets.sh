#!/bin/sh
# links_no_widgets.sh PROGRAM LINKED-LIST
# Fails when PROGRAM names libQt6Widgets among its NEEDED entries, or when
# LINKED-LIST (the libraries CMake links it with, one a line) holds Qt Widgets
# or one of the program's widget libraries.
program=$1
linked=$2
status=0

needed=$(objdump -p "$program" | awk '/NEEDED/ {print $2}') || { echo "objdump cannot read $program"; exit 1; }
# A sanitizer build keeps every library the link names: its checks refer to
# the type information of classes in headers it compiled (PrintSupport's
# widgets among them), so there only the link list below is checked.
if echo "$needed" | grep -q '^libubsan'; then
    echo "sanitizer build: NEEDED entries not checked"
elif echo "$needed" | grep -q '^libQt6Widgets'; then
    echo "$program needs libQt6Widgets:"
    echo "$needed"
    status=1
fi

widget_libraries='^(Qt6::Widgets|zelvara_windows|zelvara_main|zelvara_controls|zelvara_readings|zelvara_reading_editors)$'
if grep -Eq "$widget_libraries" "$linked"; then
    echo "$program is linked with widget libraries:"
    grep -E "$widget_libraries" "$linked"
    status=1
fi
exit $status
