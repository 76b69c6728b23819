// The status bar: the time (in the locale's long format, as the desktop's frame shows
// it), the memory the engine holds, and a short note when something needs saying.

export class StatusBar {
  constructor(element, engine) {
    this.clock = element.querySelector('.clock');
    this.note = element.querySelector('.note');
    this.engineState = element.querySelector('.engine-state');
    this.format = new Intl.DateTimeFormat(undefined, { timeStyle: 'medium' });
    this.tick();
    setInterval(() => this.tick(), 1000);
    engine.ready.then(
      () => { this.engineState.textContent = engine.stopsBySignal ? 'Engine ready' : 'Engine ready (Stop restarts it)'; },
      (error) => { this.engineState.textContent = `Engine not loaded: ${error.message}`; },
    );
  }

  tick() { this.clock.textContent = this.format.format(new Date()); }

  // A new build of the site is ready: a button in the status bar loads it.
  offerNewBuild(use) {
    if (this.newBuild) return;
    this.newBuild = document.createElement('button');
    this.newBuild.type = 'button';
    this.newBuild.className = 'new-build';
    this.newBuild.textContent = 'A new version is ready: load it';
    this.newBuild.addEventListener('click', use);
    this.note.after(this.newBuild);
  }

  say(text) {
    this.note.textContent = text;
    clearTimeout(this.clear);
    this.clear = setTimeout(() => { this.note.textContent = ''; }, 6000);
  }
}
