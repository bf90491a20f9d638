#!/bin/sh
# links_no_widgets.sh PROGRAM LINKED-LIST
# Fails when PROGRAM names libQt6Widgets among its NEEDED entries, when ldd
# finds libQt6Widgets or libQt6PrintSupport among the libraries it loads (Qt
# PrintSupport loads Qt Widgets), or libQt6DBus brought in by anything but Qt
# Gui, or when LINKED-LIST (the libraries CMake links it with, one a line)
# holds Qt Widgets, Qt PrintSupport or one of the program's widget or printer
# libraries.
program=$1
linked=$2
status=0

needed=$(objdump -p "$program" | awk '/NEEDED/ {print $2}') || { echo "objdump cannot read $program"; exit 1; }
# A sanitizer build keeps every library the link names: its checks refer to
# the type information of classes in headers it compiled (PrintSupport's
# widgets among them), so there only the link list below is checked.
if echo "$needed" | grep -q '^libubsan'; then
    echo "sanitizer build: NEEDED entries and loaded libraries not checked"
else
    if echo "$needed" | grep -q '^libQt6Widgets'; then
        echo "$program needs libQt6Widgets:"
        echo "$needed"
        status=1
    fi
    loaded=$(ldd "$program") || { echo "ldd cannot read $program"; exit 1; }
    if echo "$loaded" | grep -Eq 'libQt6(Widgets|PrintSupport)\.so'; then
        echo "$program loads widget libraries:"
        echo "$loaded" | grep -E 'libQt6(Widgets|PrintSupport)\.so'
        status=1
    fi
    # Qt Gui itself needs Qt DBus (its platform services); nothing else may
    # bring it in.
    if echo "$loaded" | grep -q 'libQt6DBus\.so'; then
        gui=$(echo "$loaded" | awk '/libQt6Gui\.so/ {print $3}')
        if [ -z "$gui" ] || ! objdump -p "$gui" | grep -q 'NEEDED *libQt6DBus'; then
            echo "$program loads libQt6DBus without Qt Gui needing it:"
            echo "$loaded" | grep 'libQt6DBus\.so'
            status=1
        fi
    fi
fi

widget_libraries='^(Qt6::Widgets|Qt6::PrintSupport|zelvara_printer|zelvara_windows|zelvara_main|zelvara_editors)$'
if grep -Eq "$widget_libraries" "$linked"; then
    echo "$program is linked with widget libraries:"
    grep -E "$widget_libraries" "$linked"
    status=1
fi
exit $status
