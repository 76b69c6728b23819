// Small helpers for drawing SVG pictures in a monospaced font whose advance is known,
// so that text can be measured without a canvas.

export const kSvgNamespace = 'http://www.w3.org/2000/svg';
export const kPictureFont = '"DejaVu Sans Mono", "Liberation Mono", "Courier New", monospace';
export const kCharWidth = 0.6;  // the advance of a monospaced character, in font sizes

export function textWidth(text, size) { return text.length * size * kCharWidth; }

export function element(name, attributes = {}, text) {
  const node = document.createElementNS(kSvgNamespace, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, String(value));
  if (text !== undefined) node.textContent = text;
  return node;
}

export function svgRoot(width, height, label) {
  const svg = element('svg', {
    xmlns: kSvgNamespace, width: Math.ceil(width), height: Math.ceil(height),
    viewBox: `0 0 ${Math.ceil(width)} ${Math.ceil(height)}`, role: 'img', 'aria-label': label,
    'font-family': kPictureFont,
  });
  svg.append(element('rect', { x: 0, y: 0, width: Math.ceil(width), height: Math.ceil(height), fill: '#ffffff' }));
  return svg;
}

// The picture as a stand-alone SVG file.
export function svgFile(svg) {
  return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(svg);
}
