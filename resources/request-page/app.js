// The request page: search the host's library, request a song, and list
// the singer's own queued songs. The name is remembered by the browser.
"use strict";

const nameBox = document.getElementById("name");
const wordsBox = document.getElementById("words");
const keyBox = document.getElementById("key");
const statusLine = document.getElementById("status");
const results = document.getElementById("results");
const queue = document.getElementById("queue");
const waitLine = document.getElementById("wait");
const requestList = document.getElementById("requests");

nameBox.value = localStorage.getItem("lyricade-singer") || "";
nameBox.addEventListener("change", () => {
  localStorage.setItem("lyricade-singer", nameBox.value.trim());
  refreshQueue();
});

function say(text) { statusLine.textContent = text; }

async function answerOf(response) {
  try { return await response.json(); } catch (e) { return {}; }
}

async function search(event) {
  if (event) event.preventDefault();
  const words = wordsBox.value.trim();
  results.replaceChildren();
  if (!words) { say("Type a title, an artist or an ID."); return; }
  say("Searching...");
  const response = await fetch("/api/search?q=" + encodeURIComponent(words));
  const answer = await answerOf(response);
  if (!response.ok) { say(answer.error || "The search failed."); return; }
  for (const song of answer.songs) results.append(row(song));
  say(answer.songs.length === 0 ? "No songs found." :
      answer.more ? "The first " + answer.songs.length + " songs; add a word to narrow the search." : "");
}

function row(song) {
  const item = document.createElement("li");
  const text = document.createElement("div");
  text.className = "song";
  for (const [field, value] of [["title", song.title], ["artist", song.artist], ["id", song.id]]) {
    const part = document.createElement("div");
    part.className = field;
    part.textContent = value;
    text.append(part);
  }
  // A song the host has in several versions: the host's preferred one
  // unless the singer picks a maker.
  let choice = null;
  const versions = song.versions || [];
  if (versions.length > 1) {
    choice = document.createElement("select");
    choice.setAttribute("aria-label", "Version");
    choice.append(new Option(song.count + " versions: any", ""));
    for (const version of versions) choice.append(new Option(version.maker || version.id, String(version.item)));
    text.append(choice);
  }
  const button = document.createElement("button");
  button.type = "button";
  button.textContent = "Request";
  button.addEventListener("click", () => request(song, choice && choice.value ? Number(choice.value) : 0));
  item.append(text, button);
  return item;
}

async function request(song, version) {
  const name = nameBox.value.trim();
  if (!name) { say("Please enter your name first."); nameBox.focus(); return; }
  localStorage.setItem("lyricade-singer", name);
  const response = await fetch("/api/request", {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify(version ? { name: name, item: version, key: Number(keyBox.value) }
                                 : { name: name, song: song.item, key: Number(keyBox.value) }),
  });
  const answer = await answerOf(response);
  say(response.ok ? answer.message : (answer.error || "The request failed."));
  // The host's list takes the song a moment later.
  setTimeout(refreshQueue, 400);
}

async function refreshQueue() {
  const name = nameBox.value.trim();
  queue.replaceChildren();
  requestList.replaceChildren();
  waitLine.textContent = "";
  if (!name) return;
  const response = await fetch("/api/queue?name=" + encodeURIComponent(name));
  if (!response.ok) return;
  const answer = await answerOf(response);
  waitLine.textContent = typeof answer.waitText === "string" ? answer.waitText : "";
  for (const title of answer.songs || []) {
    const item = document.createElement("li");
    item.textContent = title;
    queue.append(item);
  }
  // Requests the KJ approves: "Waiting for the KJ", "Accepted", "Not tonight".
  for (const state of answer.requests || []) {
    const item = document.createElement("li");
    item.className = "request " + String(state.status);
    item.textContent = state.title + " \u2014 " + state.text;
    requestList.append(item);
  }
}

document.getElementById("search-form").addEventListener("submit", search);
refreshQueue();
setInterval(refreshQueue, 15000);
