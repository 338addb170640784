#!/usr/bin/env python3
"""Prints, one per line, every visible character of a flat OpenDocument text (as LibreOffice
saves it with --convert-to fodt) with the attributes LibreOffice gives it: B bold,
U underline, ^ superscript, _ subscript. Blanks are left out: the editable copies drop the
filler spaces that the RTF keeps, and only the characters between them are compared.

    office_attributes.py FILE.fodt
"""
import sys
import xml.etree.ElementTree as ET

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
}


def q(prefix, name):
    return "{%s}%s" % (NS[prefix], name)


def own_properties(style):
    """The attributes a style sets itself: name -> True/False."""
    props = {}
    for text_props in style.findall("style:text-properties", NS):
        weight = text_props.get(q("fo", "font-weight"))
        if weight is not None:
            props["B"] = weight == "bold" or (weight.isdigit() and int(weight) >= 600)
        underline = text_props.get(q("style", "text-underline-style"))
        if underline is not None:
            props["U"] = underline != "none"
        position = text_props.get(q("style", "text-position"))
        if position is not None:
            first = position.split()[0]
            raised = first == "super" or (first.endswith("%") and float(first[:-1]) > 0)
            lowered = first == "sub" or (first.endswith("%") and float(first[:-1]) < 0)
            props["^"], props["_"] = raised, lowered
    return props


def styles_of(root):
    styles = {}
    for family_parent in root.iter():
        for style in family_parent.findall("style:style", NS):
            styles[style.get(q("style", "name"))] = style
    return styles


def resolved(name, styles, cache):
    if name is None or name not in styles:
        return {}
    if name in cache:
        return cache[name]
    style = styles[name]
    props = dict(resolved(style.get(q("style", "parent-style-name")), styles, cache))
    props.update(own_properties(style))
    cache[name] = props
    return props


def walk(element, inherited, styles, cache, out):
    name = element.get(q("text", "style-name"))
    props = dict(inherited)
    props.update(resolved(name, styles, cache))
    if element.text:
        emit(element.text, props, out)
    for child in element:
        if child.tag in (q("text", "note"), q("office", "annotation")):
            pass
        else:
            walk(child, props, styles, cache, out)
        if child.tail:
            emit(child.tail, props, out)


def emit(text, props, out):
    marks = "".join(mark for mark in "BU^_" if props.get(mark))
    for character in text:
        if not character.isspace():
            out.append(f"{character} {marks}")


def main():
    root = ET.parse(sys.argv[1]).getroot()
    styles = styles_of(root)
    cache = {}
    out = []
    body = root.find("office:body/office:text", NS)
    for paragraph in body.iter():
        if paragraph.tag in (q("text", "p"), q("text", "h")):
            walk(paragraph, {}, styles, cache, out)
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
