#pragma once

// Where a button's glyph sits relative to its caption. The styled buttons and
// the glyph speed button share the one set of values.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
