// The line length typed into the options panel, read without complaint: leading blanks
// are skipped; a '+' or '-' may follow, or a '$' that makes the digits hexadecimal; the
// value is that of the digits up to the first character that is not one, 0 if there is
// none. Values too large saturate.

export const kMinLineWidth = 21;
export const kMaxLineWidth = 250;
export const kDefaultLineWidth = 79;
export const kLineRangeMessage = 'Current line range between 21 and 250.\r\nDefault value 79 is used.';

const kSaturated = 2 ** 40;

export function readLineLength(text) {
  let i = 0;
  while (i < text.length && text[i] === ' ') i++;
  let negative = false;
  let base = 10;
  if (text[i] === '+' || text[i] === '-') {
    negative = text[i] === '-';
    i++;
  } else if (text[i] === '$') {
    base = 16;
    i++;
  }
  let value = 0;
  for (; i < text.length; i++) {
    const digit = parseInt(text[i], 16);
    if (Number.isNaN(digit) || digit >= base || !/[0-9a-fA-F]/.test(text[i])) break;
    value = Math.min(value * base + digit, kSaturated);
  }
  return negative ? -value : value;
}

// The line length the panel stores for a text, and whether it was in range.
export function lineWidthFromText(text) {
  const value = readLineLength(text);
  const inRange = value >= kMinLineWidth && value <= kMaxLineWidth;
  return { width: inRange ? value : kDefaultLineWidth, inRange };
}
