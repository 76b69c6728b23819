// A worked example of the user manual: its text, and its options and commands as
// lumenark-cli takes them ("--details 3 cnf mincnf"). Also the link that opens it in the
// workbench, so that an example can be linked to from anywhere.

export function parseExampleCli(cli) {
  const words = cli.split(/\s+/).filter(Boolean);
  const options = { details: 4, results: true, width: 77 };
  const commands = [];
  for (let i = 0; i < words.length; i++) {
    const word = words[i];
    if (word === '--details') options.details = Number(words[++i]);
    else if (word === '--width') options.width = Number(words[++i]);
    else if (word === '--results') options.results = true;
    else if (word === '--no-results') options.results = false;
    else if (word.startsWith('--')) continue;
    else commands.push(word);
  }
  return { options, commands };
}

export function exampleHash(text, cli) {
  return `#${new URLSearchParams({ example: text, cli }).toString()}`;
}

export function exampleFromHash(hash) {
  if (!hash.startsWith('#example=')) return null;
  const params = new URLSearchParams(hash.slice(1));
  return { text: params.get('example') ?? '', cli: params.get('cli') ?? '' };
}
