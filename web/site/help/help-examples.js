// In the manual's pages: every worked example gets a button that opens it in a new
// document of the workbench and runs it there. Inside the workbench's panel the page
// asks the workbench by a message; read on its own, the button is a link to the
// workbench that opens the example (a link that can be shared, too).

(function () {
  function hashOf(text, cli) {
    return '#' + new URLSearchParams({ example: text, cli: cli }).toString();
  }
  function addButton(pre) {
    var text = pre.getAttribute('data-text');
    var cli = pre.getAttribute('data-cli');
    if (text === null || cli === null) return;
    var link = document.createElement('a');
    link.className = 'try-example';
    link.href = '../index.html' + hashOf(text, cli);
    link.textContent = 'Open in a new document';
    link.setAttribute('aria-label', 'Open this example in a new document: ' + text.split('\n')[0]);
    link.addEventListener('click', function (event) {
      if (window.parent === window || window.parent.location.origin !== location.origin) return;
      event.preventDefault();
      window.parent.postMessage({ type: 'lumenark-example', text: text, cli: cli }, location.origin);
    });
    var holder = document.createElement('p');
    holder.className = 'try-holder';
    holder.appendChild(link);
    pre.parentNode.insertBefore(holder, pre.nextSibling);
  }
  document.querySelectorAll('pre.example').forEach(addButton);
})();
