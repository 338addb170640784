-- Leaves the characters of attributed text as they are, so that pandoc's plain text shows
-- the document's own characters (no ^super^ or ~sub~ marks).
function Strong(el) return el.content end
function Underline(el) return el.content end
function Superscript(el) return el.content end
function Subscript(el) return el.content end
function Span(el) return el.content end
function Emph(el) return el.content end
