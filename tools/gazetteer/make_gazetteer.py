#!/usr/bin/env python3
"""Writes data/gazetteer.txt, the birthplaces abroad (and the smaller places
of Japan), from Debian's libgeonames: the cities of the GeoNames dump that
the library carries, with their coordinates and time zones, and the Japanese
names of its Japanese message catalogue.

    apt-get install libgeonames0 libgeonames-common
    tools/gazetteer/make_gazetteer.py > data/gazetteer.txt
"""
import ctypes
import gettext
import sys

geo = ctypes.CDLL("libgeonames.so.0")
glib = ctypes.CDLL("libglib-2.0.so.0")
geo.geonames_get_city.restype = ctypes.c_void_p
geo.geonames_get_city.argtypes = [ctypes.c_int]
geo.geonames_city_free.argtypes = [ctypes.c_void_p]
for name in ("name", "state", "country", "country_code", "timezone"):
    f = getattr(geo, "geonames_city_get_" + name)
    f.restype = ctypes.c_char_p
    f.argtypes = [ctypes.c_void_p]
for name in ("latitude", "longitude"):
    f = getattr(geo, "geonames_city_get_" + name)
    f.restype = ctypes.c_double
    f.argtypes = [ctypes.c_void_p]
geo.geonames_city_get_population.restype = ctypes.c_uint
geo.geonames_city_get_population.argtypes = [ctypes.c_void_p]
glib.g_variant_get_child_value.restype = ctypes.c_void_p
glib.g_variant_get_child_value.argtypes = [ctypes.c_void_p, ctypes.c_size_t]
glib.g_variant_get_string.restype = ctypes.c_char_p
glib.g_variant_get_string.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
glib.g_variant_unref.argtypes = [ctypes.c_void_p]

with open("/usr/share/locale/ja/LC_MESSAGES/geonames.mo", "rb") as mo:
    japanese = gettext.GNUTranslations(mo)._catalog


def text(f, city):
    value = f(city).decode("utf-8")
    # The file is tab-separated, one place a line.
    return " ".join(value.replace("\t", " ").split())


out = sys.stdout
out.write("# Birthplaces for the solar-time correction: the cities of the GeoNames\n")
out.write("# database (geonames.org, CC BY 4.0) as Debian's libgeonames carries them,\n")
out.write("# with the Japanese names of its Japanese catalogue. Made by\n")
out.write("# tools/gazetteer/make_gazetteer.py; UTF-8, tab-separated:\n")
out.write("# 日本語名, name, state, country code, country, time zone, latitude, longitude, population\n")
for i in range(geo.geonames_get_n_cities()):
    city = geo.geonames_get_city(i)
    child = glib.g_variant_get_child_value(city, 0)
    geoid = glib.g_variant_get_string(child, None).decode("ascii")
    glib.g_variant_unref(child)
    row = [
        japanese.get(geoid, ""),
        text(geo.geonames_city_get_name, city),
        text(geo.geonames_city_get_state, city),
        text(geo.geonames_city_get_country_code, city),
        text(geo.geonames_city_get_country, city),
        text(geo.geonames_city_get_timezone, city),
        "%.5f" % geo.geonames_city_get_latitude(city),
        "%.5f" % geo.geonames_city_get_longitude(city),
        str(geo.geonames_city_get_population(city)),
    ]
    geo.geonames_city_free(city)
    out.write("\t".join(row) + "\n")
