// What the page shows while a command runs: the desktop stop dialog's text and Stop
// button, the time since the command started and the memory the engine holds, updated
// as the engine reports it. Escape presses Stop.

function megabytes(bytes) {
  if (bytes === undefined || bytes === null) return '';
  return `${(bytes / (1024 * 1024)).toFixed(1)} MB`;
}

export class RunningBar {
  constructor(element, { onStop }) {
    this.element = element;
    this.elapsed = element.querySelector('.elapsed');
    this.memory = element.querySelector('.memory');
    this.caption = element.querySelector('.running-command');
    this.button = element.querySelector('button.stop');
    this.button.addEventListener('click', () => onStop());
    this.timer = null;
  }

  start(caption) {
    this.started = performance.now();
    this.caption.textContent = caption;
    this.elapsed.textContent = '0.0 s';
    this.memory.textContent = '';
    this.element.hidden = false;
    this.element.dataset.state = 'running';
    this.timer = setInterval(() => this.tick(), 100);
  }

  tick() {
    this.elapsed.textContent = `${((performance.now() - this.started) / 1000).toFixed(1)} s`;
  }

  progress({ memoryInUse, memoryLimit }) {
    this.memory.textContent = memoryLimit ? `${megabytes(memoryInUse)} of ${megabytes(memoryLimit)}` : megabytes(memoryInUse);
  }

  stopping() {
    this.element.dataset.state = 'stopping';
    this.caption.textContent = `${this.caption.textContent} (stopping)`;
  }

  finish() {
    clearInterval(this.timer);
    this.timer = null;
    this.element.hidden = true;
    delete this.element.dataset.state;
  }
}
