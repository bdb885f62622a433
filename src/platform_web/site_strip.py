#!/usr/bin/env python3
"""Copies a page script for the site without what only its reader needs: lines that are only
a // comment, the indentation and blank lines (the site is fetched whole on a phone's first
visit: gzip under 100 KB). Code is left as it is, so the browser runs the same script.

Usage: site_strip.py IN OUT
"""
import os
import sys

source, target = sys.argv[1], sys.argv[2]
with open(source, encoding="utf-8") as f:
    lines = [line.strip() for line in f]
kept = [line for line in lines if line and not line.startswith("//")]
with open(target + ".new", "w", encoding="utf-8") as f:
    f.write("\n".join(kept) + "\n")
os.replace(target + ".new", target)
